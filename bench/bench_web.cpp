#include <benchmark/benchmark.h>

#include <string>

#include "core/text.h"
#include "web/cookies.h"
#include "web/request_headers.h"

namespace tolvaris {
namespace {

// A response that sets `count` cookies, and a sent cookie text of `count` items of which every
// other one shares its name with a received cookie.
struct CookieInput {
  TextArray headerLines;
  Text sentCookies;
};

CookieInput MakeCookieInput(int count) {
  CookieInput input;
  std::string sent;
  for (int i = 0; i < count; ++i) {
    const std::string index = std::to_string(i);
    ArrayAppend(input.headerLines,
                Text("Set-Cookie: received" + index + "=value" + index + "; path=/; HttpOnly"));
    if (!sent.empty()) sent += "; ";
    sent += (i % 2 == 0 ? "received" : "sent") + index + "=old" + index;
  }
  input.sentCookies = Text(std::move(sent));
  return input;
}

void BM_CollectAndMergeCookies(benchmark::State& state) {
  const CookieInput input = MakeCookieInput(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Text sent = input.sentCookies;
    const Text received = CollectSetCookies(input.headerLines);
    benchmark::DoNotOptimize(MergeCookies(sent, received));
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CollectAndMergeCookies)->Arg(100)->Arg(1000)->Arg(10000)->Complexity();

// Lowercase, hyphenated header lines up to `size` bytes, as a caller might pass them.
Text MakeHeaderBlock(size_t size) {
  std::string block;
  for (int i = 0; block.size() < size; ++i) {
    block += "x-custom-header-" + std::to_string(i) + ": some value, with: colons " +
             std::to_string(i) + "\r\n";
  }
  block.resize(size);
  return Text(std::move(block));
}

// One line whose name is a run of short hyphenated words: the most work per byte for the
// capitalising step.
Text MakeHyphenatedLine(size_t size) {
  std::string line;
  while (line.size() + 2 < size) line += "a-";
  line += ": v";
  return Text(std::move(line));
}

void BM_NormaliseHeaderNames(benchmark::State& state) {
  const Text block = MakeHeaderBlock(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(NormaliseHeaderNames(block));
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NormaliseHeaderNames)->Arg(64 << 10)->Arg(1 << 20)->Complexity();

void BM_NormaliseHyphenatedName(benchmark::State& state) {
  const Text line = MakeHyphenatedLine(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(NormaliseHeaderNames(line));
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NormaliseHyphenatedName)->Arg(64 << 10)->Arg(1 << 20)->Complexity();

void BM_RequestHeaderPairs(benchmark::State& state) {
  const Text block = MakeHeaderBlock(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(RequestHeaderPairs(block));
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RequestHeaderPairs)->Arg(64 << 10)->Arg(1 << 20)->Complexity();

}  // namespace
}  // namespace tolvaris
