#!/usr/bin/env bash
# Without a display the program says so in one line on stderr and fails.
set -u
program=$1
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>&1 >/dev/null)
code=$?
if ((code == 0)); then echo "exit code 0 without a display" >&2; exit 1; fi
if [[ $(printf '%s\n' "$err" | wc -l) -ne 1 || "$err" != *"no display"* ]]; then
  printf 'expected one line about the missing display, got:\n%s\n' "$err" >&2
  exit 1
fi
echo "exit code $code: $err"
