// The character-aware text operations on header-like text and on inputs built to be hard for
// them, at 1 KiB, 64 KiB and 1 MiB. Bytes per second are reported, so ns/byte reads off
// directly and must stay flat as the size grows.

#include <benchmark/benchmark.h>

#include <string>

#include "core/text.h"

namespace tolvaris {
namespace {

constexpr int64_t kSizes[] = {1 << 10, 1 << 16, 1 << 20};

std::string Repeated(std::string_view unit, size_t size) {
  std::string result;
  result.reserve(size + unit.size());
  while (result.size() < size) result.append(unit);
  result.resize(size);
  return result;
}

// A response header block: mostly ASCII, cookies in mixed case, a value with GBK text.
Text HeaderBlock(size_t size) {
  constexpr std::string_view kLines =
      "HTTP/1.1 200 OK\r\n"
      "Date: Fri, 07 Mar 2025 01:05:03 GMT\r\n"
      "Content-Type: text/html; charset=gbk\r\n"
      "Set-Cookie: session=8f3a9c0d2e; Path=/; HttpOnly\r\n"
      "set-cookie: lang=zh-CN; Max-Age=3600\r\n"
      "X-Note: \xB1\xB1\xBE\xA9\xCA\xB1\xBC\xE4\xA3\xBA ok\r\n"
      "Cache-Control: no-cache\r\n";
  return Text(Repeated(kLines, size));
}

// Two-byte characters whose second byte is 'A' all along: every candidate of a sought text that
// starts with 'A' begins on a second byte and must be rejected.
Text TwoByteRun(size_t size) { return Text(Repeated("\xB0\x41", size)); }

// A sought text of half the input's length that matches everywhere but at its last byte, so a
// comparison at each start would cost size * size / 2.
Text NearMatchOfHalf(size_t size) { return Text(std::string(size / 2, 'a') + "b"); }

void CountBytes(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void FindAbsentInHeaders(benchmark::State& state) {
  const Text text = HeaderBlock(static_cast<size_t>(state.range(0)));
  const Text sought("x-absent-header:");
  for (auto _ : state) benchmark::DoNotOptimize(FindText(text, sought, 1, true));
  CountBytes(state);
}

void FindLongNearMatch(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  const Text text(std::string(size, 'a'));
  const Text sought = NearMatchOfHalf(size);
  for (auto _ : state) benchmark::DoNotOptimize(FindText(text, sought));
  CountBytes(state);
}

void FindOnSecondBytes(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  const Text text = TwoByteRun(size);
  const Text sought(Repeated("\x41\xB0", size / 4) + "\x41");  // occurs at every odd offset
  for (auto _ : state) benchmark::DoNotOptimize(FindText(text, sought, 0, true));
  CountBytes(state);
}

void ReplaceCookieInHeaders(benchmark::State& state) {
  const Text text = HeaderBlock(static_cast<size_t>(state.range(0)));
  const Text sought("Cookie:");
  for (auto _ : state) benchmark::DoNotOptimize(ReplaceText(text, sought, Text(), false));
  CountBytes(state);
}

void ReplaceLongNearMatch(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  const Text text(std::string(size, 'a'));
  const Text sought = NearMatchOfHalf(size);
  for (auto _ : state) benchmark::DoNotOptimize(ReplaceText(text, sought, Text("x"), true));
  CountBytes(state);
}

void ReplaceOnSecondBytes(benchmark::State& state) {
  const Text text = TwoByteRun(static_cast<size_t>(state.range(0)));
  const Text sought("A");
  for (auto _ : state) benchmark::DoNotOptimize(ReplaceText(text, sought, Text("x"), false));
  CountBytes(state);
}

void SplitHeaderLines(benchmark::State& state) {
  const Text text = HeaderBlock(static_cast<size_t>(state.range(0)));
  const Text separator("\r\n");
  for (auto _ : state) benchmark::DoNotOptimize(SplitText(text, separator));
  CountBytes(state);
}

void SplitLongNearMatch(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  const Text text(std::string(size, 'a'));
  const Text separator = NearMatchOfHalf(size);
  for (auto _ : state) benchmark::DoNotOptimize(SplitText(text, separator));
  CountBytes(state);
}

void SplitOnSecondBytes(benchmark::State& state) {
  const Text text = TwoByteRun(static_cast<size_t>(state.range(0)));
  const Text separator("A\xB0");
  for (auto _ : state) benchmark::DoNotOptimize(SplitText(text, separator));
  CountBytes(state);
}

void TrimHeaderValue(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  const Text text("  " + std::string(HeaderBlock(size - 4).Bytes()) + "  ");
  for (auto _ : state) benchmark::DoNotOptimize(TrimText(text));
  CountBytes(state);
}

// Blanks at both ends, two-byte characters between, and an odd run of 0xA1 at the end whose
// pairing is only known from the walk.
void TrimBlanksAndTwoByteRuns(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  const Text text(std::string(size / 4, ' ') + TwoByteRun(size / 4).Bytes() + "x" +
                  std::string(size / 2 - 1, '\xA1'));
  for (auto _ : state) benchmark::DoNotOptimize(TrimText(text));
  CountBytes(state);
}

void WithSizes(benchmark::internal::Benchmark* benchmark) {
  for (int64_t size : kSizes) benchmark->Arg(size);
}

BENCHMARK(FindAbsentInHeaders)->Apply(WithSizes);
BENCHMARK(FindLongNearMatch)->Apply(WithSizes);
BENCHMARK(FindOnSecondBytes)->Apply(WithSizes);
BENCHMARK(ReplaceCookieInHeaders)->Apply(WithSizes);
BENCHMARK(ReplaceLongNearMatch)->Apply(WithSizes);
BENCHMARK(ReplaceOnSecondBytes)->Apply(WithSizes);
BENCHMARK(SplitHeaderLines)->Apply(WithSizes);
BENCHMARK(SplitLongNearMatch)->Apply(WithSizes);
BENCHMARK(SplitOnSecondBytes)->Apply(WithSizes);
BENCHMARK(TrimHeaderValue)->Apply(WithSizes);
BENCHMARK(TrimBlanksAndTwoByteRuns)->Apply(WithSizes);

}  // namespace
}  // namespace tolvaris
