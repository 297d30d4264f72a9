#!/usr/bin/env bash
# From the real window: a click on "立即同步" in a process without CAP_SYS_TIME goes to the time
# service, and the window reports "时间同步成功！" when the service sets the clock and
# "时间同步失败！" when it refuses or is not there.
#   window_sync_test.sh PROGRAM
# PROGRAM is the test build of the program (it writes its window state to $TOLVARIS_STATE_FILE).
# Everything runs in a network and mount namespace of its own: loopback only, the time source's
# host mapped to 127.0.0.1 where a local server answers with a fixed Date, /run/dbus covered by an
# empty tmpfs, a private dbus-daemon with the fake time service, Xvfb, and CAP_SYS_TIME dropped
# (checked) before any of them starts.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../../../.." && pwd)
source "$source_root/scripts/lib/common.sh"

# The Date the local server sends, and the instant it must reach the service as: the program adds
# eight hours and sets the local clock to that; with TZ=Asia/Shanghai that is this very instant.
served_date="Fri, 07 Mar 2025 01:05:03 GMT"
expected_call="xbb 1741309503000000 0 1 1"

# --- inside the namespaces, without CAP_SYS_TIME: the actual test.
run_cases() {
  local scratch=$1 program=$2
  if has_sys_time; then echo "CAP_SYS_TIME is still held" >&2; exit 99; fi
  if [[ -e /run/dbus/system_bus_socket ]]; then echo "the system bus is visible" >&2; exit 98; fi

  pids=()  # global: the EXIT trap below runs after this function has returned
  trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; wait' EXIT

  /usr/bin/python3 "$here/date_server.py" 80 "$served_date" >"$scratch/date-server.out" &
  pids+=($!)
  wait_for 20 grep -qs ready "$scratch/date-server.out" || { echo "date server did not start" >&2; exit 1; }

  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$scratch/display" 2>"$scratch/xvfb.err" &
  pids+=($!)
  wait_for 20 test -s "$scratch/display" || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$scratch/display")"

  local failures=0 row answer expected_box calls
  for row in \
    "accept|时间同步成功！|1" \
    "error:org.freedesktop.DBus.Error.AccessDenied|时间同步失败！|1" \
    "error:org.freedesktop.timedate1.AutomaticTimeSyncEnabled|时间同步失败！|1" \
    "absent|时间同步失败！|0"; do
    IFS='|' read -r answer expected_box calls <<<"$row"
    if run_case "$scratch/$((++case_number))" "$program" "$answer" "$expected_box" "$calls"; then
      echo "ok: service '$answer' -> $expected_box"
    else
      echo "FAILED: service '$answer'" >&2
      failures=$((failures + 1))
    fi
  done
  return $((failures > 0))
}

case_number=0
# One case in a subshell of its own, so that its bus, service and program end with it.
run_case() (
  dir=$1 program=$2 answer=$3 expected_box=$4 expected_calls=$5
  mkdir -p "$dir"
  pids=()
  trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; wait' EXIT

  cat >"$dir/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$dir/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
  dbus-daemon --config-file="$dir/bus.conf" --nofork --nopidfile --print-address \
    >"$dir/bus.address" 2>"$dir/bus.err" &
  pids+=($!)
  wait_for 20 test -s "$dir/bus.address" || { echo "dbus-daemon did not start" >&2; return 1; }
  local address
  address=$(head -n1 "$dir/bus.address")

  if [[ "$answer" != absent ]]; then
    /usr/bin/python3 "$here/fake_time_service.py" --address "$address" --record "$dir/calls" \
      --answer "$answer" >"$dir/service.out" &
    pids+=($!)
    wait_for 20 grep -qs ready "$dir/service.out" || { echo "fake service did not start" >&2; return 1; }
  fi

  TZ=Asia/Shanghai DBUS_SYSTEM_BUS_ADDRESS="$address" TOLVARIS_STATE_FILE="$dir/state" \
    QT_QPA_PLATFORM=xcb "$program" >"$dir/program.out" 2>&1 &
  pids+=($!)
  # Shown, and the first refresh done (the network time is in), so the click meets an idle window.
  wait_for 30 grep -qs "^window.*visible" "$dir/state" || { echo "no window" >&2; return 1; }
  wait_for 30 grep -qs "北京时间：2025年3月7日9时5分" "$dir/state" ||
    { echo "the first refresh did not finish:" >&2; cat "$dir/state" >&2; return 1; }

  local x y
  read -r x y < <(awk -F'\t' '$1 == "window" {print $2, $3}' "$dir/state")
  # The button's centre: it sits at (280, 48), 88 x 48, in the client area; Xvfb has no window
  # manager, so the client area starts at the window's corner.
  /usr/bin/python3 "$here/click.py" $((x + 280 + 44)) $((y + 48 + 24))

  if ! wait_for 30 grep -qs "^messagebox	." "$dir/state"; then
    echo "no message box after the click:" >&2; cat "$dir/state" >&2; return 1
  fi
  local box
  box=$(awk -F'\t' '$1 == "messagebox" {print $2}' "$dir/state")
  local ok=0
  if [[ "$box" != "$expected_box" ]]; then
    echo "message box says '$box', expected '$expected_box'" >&2; ok=1
  fi
  local recorded=""
  [[ -f "$dir/calls" ]] && recorded=$(cat "$dir/calls")
  if ((expected_calls == 1)) && [[ "$recorded" != "$expected_call" ]]; then
    echo "the service saw '$recorded', expected exactly '$expected_call'" >&2; ok=1
  fi
  if ((expected_calls == 0)) && [[ -n "$recorded" ]]; then
    echo "the service saw calls it should not have: '$recorded'" >&2; ok=1
  fi
  if [[ "$(awk -F'\t' '$1 == "按钮1" {print $4}' "$dir/state")" != disabled ]]; then
    echo "the button is enabled while the message box is open" >&2; ok=1
  fi
  return $ok
)

case "${1:-}" in
  --namespace)
    scratch=$2 program=$3
    isolate_time_source "$source_root" "$scratch" || exit 1
    exec setpriv --bounding-set=-sys_time --inh-caps=-sys_time --ambient-caps=-sys_time -- \
      "$0" --run "$scratch" "$program"
    ;;
  --run)
    run_cases "$2" "$3"
    exit $?
    ;;
esac

if [[ $# -ne 1 || ! -x "$1" ]]; then
  echo "usage: $0 PROGRAM (the test build of tolvaris-time-sync)" >&2
  exit 2
fi
program=$(readlink -f "$1")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tolvaris-window-sync-XXXXXX")
chmod 0755 "$scratch"
trap 'rm -rf "$scratch"' EXIT
status=0
if unshare --net --mount true 2>/dev/null; then
  unshare --net --mount --propagation private "$0" --namespace "$scratch" "$program" || status=$?
else
  unshare --user --map-root-user --net --mount --propagation private \
    "$0" --namespace "$scratch" "$program" || status=$?
fi
if ((status != 0)); then
  for log in "$scratch"/*/program.out; do
    [[ -s "$log" ]] && { echo "--- $log"; cat "$log"; } >&2
  done
fi
exit "$status"
