#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, build/fuzz) and runs each for a number of seconds over a
# scratch copy of its seed corpus, so the repository's corpora stay as they are.
#   scripts/fuzz.sh [seconds-per-target]      (default 10)
# Seeds come from fuzz/corpus/<name>/ and fuzz/regressions/<name>/, <name> being the target
# without "_fuzzer". Fails when any target finds a crash, a sanitizer report, a leak, a time-out
# or a wrong result; the input that did it is kept under build/fuzz/findings/<target>/. Prints
# per target the executions per second, the total executions and the edges covered.
# Environment: FUZZ_TARGETS="a_fuzzer b_fuzzer" runs only those; FUZZ_BUILD_DIR another tree.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh

seconds=${1:-10}
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds < 1)); then
  echo "usage: $0 [seconds-per-target]" >&2
  exit 2
fi
build_dir=${FUZZ_BUILD_DIR:-build/fuzz}

# Nothing here sets a clock, and nothing may get the chance to.
run_without_sys_time() {
  if has_sys_time; then without_sys_time "$@"; else "$@"; fi
}

all_targets=()
for source in fuzz/*_fuzzer.cpp; do
  all_targets+=("$(basename "$source" .cpp)")
done
read -r -a targets <<<"${FUZZ_TARGETS:-${all_targets[*]}}"

echo "building ${#targets[@]} fuzz targets in ${build_dir}"
cmake -S . -B "$build_dir" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 -DTOLVARIS_BUILD_FUZZ=ON -DTOLVARIS_BUILD_TESTS=OFF \
  -DTOLVARIS_BUILD_GUI=OFF -DTOLVARIS_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j "$(jobs_for_build)" --target "${targets[@]}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The last value libFuzzer printed for a "name: value" pair of its status lines.
status_value() {  # status_value LOG NAME
  grep -oE "$2: [0-9]+" "$1" | tail -n 1 | awk '{print $2}' || true
}

failed=()
printf '\n%-26s %10s %14s %8s  %s\n' target exec/s executions edges result
for target in "${targets[@]}"; do
  corpus=$scratch/$target/corpus
  artifacts=$scratch/$target/artifacts
  mkdir -p "$corpus" "$artifacts"
  # Seeds, and the inputs of faults found earlier: those must keep passing once fixed. The
  # folders are named without the "_fuzzer".
  name=${target%_fuzzer}
  for dir in "fuzz/corpus/$name" "fuzz/regressions/$name"; do
    if [[ -d $dir ]]; then find "$dir" -maxdepth 1 -type f -exec cp -t "$corpus" {} +; fi
  done
  log=$scratch/$target/log
  status=0
  UBSAN_OPTIONS=print_stacktrace=1 run_without_sys_time "$build_dir/fuzz/$target" \
    -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2560 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || status=$?

  execs=$(grep -oE 'stat::number_of_executed_units: +[0-9]+' "$log" | awk '{print $2}' || true)
  rate=$(grep -oE 'stat::average_exec_per_sec: +[0-9]+' "$log" | awk '{print $2}' || true)
  edges=$(status_value "$log" cov)
  result=ok
  if ((status != 0)) || [[ -n $(ls -A "$artifacts") ]]; then
    result="FAILED (exit ${status})"
    failed+=("$target")
    kept=$build_dir/findings/$target
    rm -rf "$kept"
    mkdir -p "$kept"
    cp "$log" "$kept/log"
    if [[ -n $(ls -A "$artifacts") ]]; then cp "$artifacts"/* "$kept/"; fi
  fi
  printf '%-26s %10s %14s %8s  %s\n' "$target" "${rate:--}" "${execs:--}" "${edges:--}" "$result"
done

if ((${#failed[@]})); then
  for target in "${failed[@]}"; do
    echo
    echo "=== ${target}: what it found (log and input in ${build_dir}/findings/${target}/)"
    # The target's own report ("*** what", inputs, actual, expected) or the sanitizer's.
    grep -E -A6 '^\*\*\* [A-Za-z]|runtime error|^SUMMARY|ERROR: (Address|Leak|libFuzzer: (timeout|out-of-memory))' \
      "$build_dir/findings/$target/log" | grep -vE '^ +#[0-9]' | head -n 30
  done
  exit 1
fi
echo "all ${#targets[@]} fuzz targets ran ${seconds} s each without a finding"
