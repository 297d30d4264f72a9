#!/usr/bin/env bash
# Installs what the program needs, builds it and starts the desktop window.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
bash scripts/install-deps.sh
cmake -S . -B build/run -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release -DTOLVARIS_BUILD_TESTS=OFF >/dev/null
cmake --build build/run -j "$(jobs_for_build)" --target tolvaris-time-sync >/dev/null
exec build/run/platform/qt/tolvaris-time-sync
