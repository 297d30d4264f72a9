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

# A second guard besides the dropped capability: nothing in the run may reach the machine's own
# system bus, where the time service could set the clock. Tests start private buses of their own.
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/tolvaris-no-system-bus

failed=()
passed=0
stage() {
  local name=$1; shift
  echo "=== ${name}"
  local start=$SECONDS
  if "$@"; then echo "=== ${name}: ok ($((SECONDS - start)) s)"; passed=$((passed + 1))
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

release_suite() {
  build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVARIS_BUILD_BENCH=ON && suite build/release
}
asan_suite() {
  build build/asan -DCMAKE_BUILD_TYPE=Debug -DTOLVARIS_SANITIZE=address,undefined &&
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      suite build/asan -LE no-asan
}
tsan_suite() {
  build build/tsan -DCMAKE_BUILD_TYPE=Debug -DTOLVARIS_SANITIZE=thread &&
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 suite build/tsan -L threaded
}

stage "release build and tests" release_suite
stage "ASan+UBSan build and tests" asan_suite
stage "TSan build and threaded tests" tsan_suite
stage "Linux end-to-end" bash scripts/e2e-linux.sh --check
stage "fuzzing, short budget" bash scripts/fuzz.sh 10
stage "Windows build under Wine" bash scripts/test-windows.sh --check
stage "Debian package" bash scripts/package-deb.sh --check

echo
if ((${#failed[@]})); then
  echo "failed stages: ${failed[*]}"
  echo "stages: ${passed} passed, ${#failed[@]} failed"
  exit 1
fi
echo "stages: ${passed} passed, 0 failed"
