#!/usr/bin/env bash
# The Windows program: cross-builds the 32-bit .exe and its tests with mingw-w64, runs every test
# under Wine on a virtual X display, then drives the real program end to end.
#
#   bash scripts/test-windows.sh --check
#
# Nothing here can change this machine's clock: the script gives up CAP_SYS_TIME first (after
# stopping any wineserver of its prefix that may still hold it), and the tests run in a network
# and mount namespace of their own, where www.baidu.com is a loopback server on port 80 and the
# system D-Bus is out of sight. Build tree, Wine prefix, logs and screenshots: build/windows.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh

root=$PWD
build=$root/build/windows
work=$build/wine
e2e=$work/e2e
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko installer dialogs while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Code page 936 as the ANSI code page, as on the Chinese Windows the program is made for.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
unset DBUS_SESSION_BUS_ADDRESS

usage() { echo "usage: $0 --check" >&2; exit 2; }

# --- outside the namespace: capabilities, locale, build -------------------------------------

drop_sys_time() {
  # A wineserver left from an earlier run, perhaps started with the capability, would serve
  # every Wine process of this run: stop it first.
  if [[ -d $WINEPREFIX ]]; then wineserver -k 2>/dev/null || true; fi
  if has_sys_time; then
    exec setpriv --bounding-set=-sys_time --inh-caps=-sys_time --ambient-caps=-sys_time -- \
      bash "$0" "$@"
  fi
}

ensure_locale() {
  if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf8'; then
    echo "generating the zh_CN.UTF-8 locale"
    localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
  fi
}

cross_build() {
  local toolchain=()
  # The toolchain is read when the build tree is made; naming it again only draws a warning.
  [[ -f $build/CMakeCache.txt ]] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake)
  cmake -S . -B "$build" -G Ninja -Wno-dev "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j "$(jobs_for_build)"
}

# The .exe runs from any folder of a plain Windows: it may import system DLLs only.
check_program() {
  local exe=$build/platform/win32/tolvaris-time-sync.exe dlls bad
  dlls=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print $3}')
  echo "program: $exe, $(stat -c %s "$exe") bytes"
  echo "imports: $(tr '\n' ' ' <<<"$dlls")"
  bad=$(grep -viE '^(kernel32|user32|gdi32|ole32|oleaut32|msvcrt|advapi32)\.dll$' <<<"$dlls" || true)
  if [[ -n $bad ]]; then
    echo "the program imports non-system DLLs: $bad" >&2
    return 1
  fi
}

# --- inside the namespace: X display, Wine prefix, tests, end to end ------------------------

xvfb_pid=""
server_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  if [[ -n $server_pid ]]; then kill "$server_pid" 2>/dev/null || true; fi
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}

isolate() {
  isolate_time_source "$root" "$work"
}

start_display() {
  local n
  for n in $(seq 90 140); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      [[ -e /tmp/.X11-unix/X$n ]] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  echo "no X display could be started" >&2
  return 1
}

# The prefix is made once and kept while its settings stay the same.
prepare_prefix() {
  local settings=$work/settings.reg stamp
  cat >"$settings" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"SimSun"="WenQuanYi Micro Hei"
"NSimSun"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"Microsoft YaHei UI"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"
EOF
  # Unmanaged windows with Wine's own frame: without a window manager on the display, managed
  # windows wait seconds for one when they are shown.
  stamp="$(wine --version) $(md5sum <"$settings" | cut -d' ' -f1)"
  if [[ ! -f $WINEPREFIX/system.reg || "$(cat "$work/prefix.stamp" 2>/dev/null)" != "$stamp" ]]; then
    echo "making the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    wineboot -i >"$work/wineboot.log" 2>&1
    wine regedit /S "$(winepath -w "$settings")" >>"$work/wineboot.log" 2>&1
    wineserver -w
    echo "$stamp" >"$work/prefix.stamp"
  fi
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1
}

unit_tests() {
  ctest --test-dir "$build" --output-on-failure -j 2 --timeout 120
}

start_time_source() {  # start_time_source FIRST_ANSWER_DELAY_SECONDS
  : >"$e2e/requests.log"
  /usr/bin/python3 tests/platform/win32/e2e/time_source_server.py 80 "$e2e/requests.log" "$1" \
    >"$e2e/server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 50); do
    grep -q listening "$e2e/server.log" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "the time source did not start: $(cat "$e2e/server.log")" >&2
  return 1
}

stop_time_source() {
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=""
}

# Pixels of exactly one colour (#RRGGBB) in a rectangle of the screenshot.
count_colour() {  # count_colour PNG "x y w h" COLOUR
  local png=$1 colour=$3 x y w h
  read -r x y w h <<<"$2"
  convert "$png" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 txt:- |
    grep -ci " ${colour}\b" || true
}

# Answers the driver's screenshot requests until it ends; checks the colours it can see.
serve_screenshots() {  # serve_screenshots DRIVER_PID
  local request name png
  local -A rect
  while kill -0 "$1" 2>/dev/null; do
    for request in "$e2e"/shot-*.request; do
      [[ -e $request ]] || continue
      name=$(basename "$request" .request)
      name=${name#shot-}
      png=$e2e/screen-$name.png
      import -display "$DISPLAY" -window root "$png"
      while read -r what x y w h; do rect[$what]="$x $y $w $h"; done <"$request"
      convert "$png" -crop "$(awk '{print $4"x"$5"+"$2"+"$3}' <<<"window ${rect[window]}")" \
        +repage "$e2e/window-$name.png"
      case $name in
        waiting)
          colour_check "北京时间 waits in black" "$png" "${rect[edit2]}" "#000000" gt
          colour_check "no green before the answer" "$png" "${rect[edit2]}" "#00FF00" eq ;;
        window)
          colour_check "北京时间 in green" "$png" "${rect[edit2]}" "#00FF00" gt
          colour_check "the difference in red" "$png" "${rect[difference]}" "#FF0000" gt
          colour_check "本地时间 in red" "$png" "${rect[edit1]}" "#FF0000" gt
          colour_check "no black left in 本地时间" "$png" "${rect[edit1]}" "#000000" eq
          colour_check "the label in black" "$png" "${rect[label]}" "#000000" gt ;;
      esac
      mv "$request" "$e2e/shot-$name.handled"
      touch "$e2e/shot-$name.done"
    done
    sleep 0.1
  done
}

e2e_failures=0
colour_check() {  # colour_check WHAT PNG RECT COLOUR gt|eq
  local n
  n=$(count_colour "$2" "$3" "$4")
  if { [[ $5 == gt ]] && ((n > 0)); } || { [[ $5 == eq ]] && ((n == 0)); }; then
    echo "check $1: ok ($n pixels)"
  else
    echo "check $1: FAILED ($n pixels of $4)"
    e2e_failures=$((e2e_failures + 1))
  fi
}

run_driver() {  # run_driver SCENARIO [DLL_OVERRIDES]
  local driver=$build/tests/platform/win32/tolvaris_e2e_driver.exe
  local program=$build/platform/win32/tolvaris-time-sync.exe pid status=0
  local overrides=${2:-$WINEDLLOVERRIDES}
  rm -f "$e2e"/shot-*
  WINEDLLOVERRIDES=$overrides wine "$driver" "$1" "$(winepath -w "$program")" \
    "$(winepath -w "$e2e")" >"$e2e/driver-$1.log" 2>&1 &
  pid=$!
  serve_screenshots "$pid"
  wait "$pid" || status=$?
  cat "$e2e/driver-$1.log"
  return "$status"
}

# The requests of the first refresh, as the time source saw them.
check_requests() {
  /usr/bin/python3 - "$e2e/requests.log" <<'EOF'
import json, sys
requests = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8") if line.strip()]
expected = {"Accept": "*/*", "Referer": "http://www.baidu.com/", "Accept-Language": "zh-cn",
            "User-Agent": "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)",
            "Host": "www.baidu.com"}
failed = 0
def check(what, passed, detail=""):
    global failed
    print(f"check {what}: {'ok' if passed else 'FAILED'}{' - ' + detail if detail else ''}")
    failed += not passed
check("every request is HEAD /", all(r["method"] == "HEAD" and r["path"] == "/" for r in requests),
      str([(r["method"], r["path"]) for r in requests]))
for index, request in enumerate(requests[:2], 1):
    headers = {name.lower(): value for name, value in request["headers"]}
    for name, value in expected.items():
        check(f"request {index} sends {name}", headers.get(name.lower()) == value,
              repr(headers.get(name.lower())))
sys.exit(1 if failed else 0)
EOF
}

end_to_end() {
  local status=0
  rm -rf "$e2e"
  mkdir -p "$e2e"
  # The first answer comes late enough for the waiting texts to be seen.
  start_time_source 2
  run_driver normal || status=1
  stop_time_source
  check_requests || status=1

  start_time_source 60
  run_driver close-early || status=1
  stop_time_source

  # wininet.dll switched off: the first date to parse is the fatal run-time error.
  start_time_source 2
  run_driver fatal "$WINEDLLOVERRIDES;wininet=d" || status=1
  stop_time_source

  ((e2e_failures == 0)) || status=1
  cp "$e2e/window-window.png" "$build/tolvaris-time-sync-wine.png" 2>/dev/null || true
  echo "screenshots: $e2e/window-*.png"
  return "$status"
}

in_namespace() {
  if has_sys_time; then
    echo "refusing to run Wine: CAP_SYS_TIME is still held" >&2
    exit 1
  fi
  trap cleanup EXIT
  isolate
  start_display
  prepare_prefix
  local failed=()
  echo "=== Windows unit tests under Wine"
  unit_tests || failed+=("unit tests")
  echo "=== Windows end-to-end under Wine"
  end_to_end || failed+=("end-to-end")
  if ((${#failed[@]})); then
    echo "Windows: FAILED (${failed[*]})"
    return 1
  fi
  echo "Windows: all passed"
}

case "${1:-}" in
  --check)
    drop_sys_time "$@"
    if has_sys_time; then
      echo "refusing to go on: CAP_SYS_TIME is still held" >&2
      exit 1
    fi
    start=$SECONDS
    ensure_locale
    mkdir -p "$work"
    echo "=== cross build ($build)"
    cross_build
    check_program
    status=0
    unshare -n -m -- bash "$0" --in-namespace || status=$?
    echo "test-windows.sh: $((SECONDS - start)) s"
    exit "$status"
    ;;
  --in-namespace)
    in_namespace
    ;;
  *) usage ;;
esac
