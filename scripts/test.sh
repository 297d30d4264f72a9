#!/usr/bin/env bash
# Installs what the tests need, builds every configuration and runs every test.
# The whole run goes without CAP_SYS_TIME: nothing in it can set this machine's clock.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh

if [[ "${1:-}" != "--in-sandbox" ]]; then
  bash scripts/install-deps.sh --all
  exec setpriv --bounding-set=-sys_time --inh-caps=-sys_time --ambient-caps=-sys_time -- \
    bash "$0" --in-sandbox
fi
if has_sys_time; then
  echo "refusing to run the tests: CAP_SYS_TIME is still held" >&2
  exit 1
fi

failed=()
stage() {
  local name=$1; shift
  echo "=== ${name}"
  local start=$SECONDS
  if "$@"; then echo "=== ${name}: ok ($((SECONDS - start)) s)"
  else echo "=== ${name}: FAILED ($((SECONDS - start)) s)"; failed+=("$name"); fi
}

build() {  # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -Wno-dev "$@" >/dev/null &&
    cmake --build "$dir" -j "$(jobs_for_build)"
}

suite() {  # suite DIR [ctest options...]
  local dir=$1; shift
  ctest --test-dir "$dir" --output-on-failure --timeout 300 -j 2 "$@"
}

stage "release build and tests" bash -c "$(declare -f build suite jobs_for_build);
  build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVARIS_BUILD_BENCH=ON && suite build/release"
stage "ASan+UBSan build and tests" bash -c "$(declare -f build suite jobs_for_build);
  build build/asan -DCMAKE_BUILD_TYPE=Debug -DTOLVARIS_SANITIZE=address,undefined &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 suite build/asan -LE no-asan"
stage "TSan build and threaded tests" bash -c "$(declare -f build suite jobs_for_build);
  build build/tsan -DCMAKE_BUILD_TYPE=Debug -DTOLVARIS_SANITIZE=thread &&
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 suite build/tsan -L threaded"
for script in e2e-linux fuzz-short test-windows package-deb; do
  if [[ -f scripts/${script}.sh ]]; then
    stage "${script}" bash "scripts/${script}.sh" --check
  fi
done

echo
if ((${#failed[@]})); then
  echo "failed stages: ${failed[*]}"
  echo "$(( 4 - ${#failed[@]} )) passed, ${#failed[@]} failed"
  exit 1
fi
echo "all stages passed"
