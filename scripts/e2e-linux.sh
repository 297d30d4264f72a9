#!/usr/bin/env bash
# End-to-end run of the Linux program: the real binary (its test build, which dumps the window's
# state to a file) on Xvfb, in a network and mount namespace of its own where www.baidu.com is a
# small HTTP server on 127.0.0.1:80 and the system D-Bus is out of reach, without CAP_SYS_TIME.
#
#   bash scripts/e2e-linux.sh --check     build, run, check; exit status 0 only when all is well
#
# E2E_BUILD_DIR (default build/e2e) is where it builds; the screenshots go there too.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh

build_dir=${E2E_BUILD_DIR:-build/e2e}

fail() {
  echo "e2e: FAILED: $*" >&2
  exit 1
}
note() { echo "e2e: $*"; }

# ---------------------------------------------------------------------------------------------
# Inside the namespaces.
# ---------------------------------------------------------------------------------------------
inside() {
  local work=$1 program=$2
  # Global: the EXIT trap runs after this function has returned.
  pids=()
  cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
  }
  trap cleanup EXIT

  # Nothing in here may reach the machine's time service.
  isolate_time_source "$PWD" "$work" || fail "could not isolate the namespace"
  unset DBUS_SYSTEM_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
  unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY

  # The time source: answers HEAD / with the current Date and logs every request, headers in
  # the order they arrived.
  cat >"$work/server.py" <<'PY'
import http.server, json, sys

LOG = sys.argv[1]

class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_HEAD(self):
        date = self.date_time_string()
        with open(LOG, "a", encoding="utf-8") as log:
            log.write(json.dumps({"method": self.command, "path": self.path,
                                  "headers": list(self.headers.items()), "date": date}) + "\n")
        self.send_response_only(200)
        self.send_header("Date", date)
        self.send_header("Server", "e2e")
        self.send_header("Content-Length", "0")
        self.end_headers()

    do_GET = do_HEAD

    def log_message(self, *args):
        pass

http.server.ThreadingHTTPServer(("127.0.0.1", 80), Handler).serve_forever()
PY
  : >"$work/requests.jsonl"
  /usr/bin/python3 "$work/server.py" "$work/requests.jsonl" &
  pids+=($!)
  wait_for 10 bash -c 'exec 3<>/dev/tcp/127.0.0.1/80' 2>/dev/null || fail "the time source did not start"

  local display=""
  for n in $(seq 90 160); do
    if [[ ! -e /tmp/.X$n-lock && ! -e /tmp/.X11-unix/X$n ]]; then display=:$n; break; fi
  done
  [[ -n $display ]] || fail "no free X display number"
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY=$display
  wait_for 10 xdotool getdisplaygeometry >/dev/null 2>&1 ||
    fail "Xvfb did not start (see $work/xvfb.log)"

  local state=$work/state.txt
  mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
  # Beijing time as the local zone: then a correct clock shows "恭喜，时间正确！".
  # setpriv execs the program, so $! is the program itself; its capabilities are checked below.
  TZ=Asia/Shanghai XDG_RUNTIME_DIR=$work/runtime LANG=C.UTF-8 TOLVARIS_STATE_FILE=$state \
    setpriv --bounding-set=-sys_time --inh-caps=-sys_time --ambient-caps=-sys_time -- \
    "$program" >"$work/program.log" 2>&1 &
  local program_pid=$!
  pids+=("$program_pid")

  # The program's own process must be without CAP_SYS_TIME.
  wait_for 10 grep -q '^Name:.*tolvaris' "/proc/$program_pid/status" ||
    fail "the program did not start (see $work/program.log)"
  local eff bnd
  eff=$(awk '/^CapEff:/ {print $2}' "/proc/$program_pid/status")
  bnd=$(awk '/^CapBnd:/ {print $2}' "/proc/$program_pid/status")
  if (( (0x$eff >> 25) & 1 )) || (( (0x$bnd >> 25) & 1 )); then
    fail "the program holds CAP_SYS_TIME"
  fi
  note "program pid $program_pid runs without CAP_SYS_TIME (CapEff $eff, CapBnd $bnd)"

  check() { /usr/bin/python3 "$work/check.py" "$@"; }
  cat >"$work/check.py" <<'PY'
import datetime, json, re, sys

state_path, log_path, what = sys.argv[1], sys.argv[2], sys.argv[3]

def read_state():
    try:
        with open(state_path, encoding="utf-8") as f:
            rows = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    except FileNotFoundError:
        return None
    return {row[0]: row[1:] for row in rows}

def read_requests():
    with open(log_path, encoding="utf-8") as f:
        return [json.loads(line) for line in f if line.strip()]

def date_text(t):
    text = f"{t.year}年{t.month}月{t.day}日"
    if t.second:
        text += f"{t.hour}时{t.minute}分{t.second}秒"
    elif t.minute:
        text += f"{t.hour}时{t.minute}分"
    elif t.hour:
        text += f"{t.hour}时"
    return text

def beijing(http_date):
    t = datetime.datetime.strptime(http_date, "%a, %d %b %Y %H:%M:%S GMT")
    return t + datetime.timedelta(hours=8)

GREEN, RED = "#00ff00", "#ff0000"
EXPECTED_HEADERS = [
    ("Accept", "*/*"),
    ("Referer", "http://www.baidu.com/"),
    ("Accept-Language", "zh-cn"),
    ("User-Agent", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"),
]

def problems_after_refresh(state, requests, first_request):
    """What is wrong with the window after the refresh whose first request is given."""
    found = []
    if state["编辑框_相差"][0] == "":
        return ["refresh not finished"]
    local = state["编辑框1"]
    if not re.fullmatch(r"本地时间：\d+年\d+月\d+日(\d+时(\d+分(\d+秒)?)?)?", local[0]):
        found.append(f"编辑框1 shows {local[0]!r}")
    shown = state["编辑框2"]
    want = "北京时间：" + date_text(beijing(requests[first_request]["date"]))
    if shown[0] != want or shown[1] != GREEN:
        found.append(f"编辑框2 shows {shown[0]!r} in {shown[1]}, want {want!r} in green")
    difference = state["编辑框_相差"]
    # A correct clock reads as equal, unless a second ticked between reading the local clock
    # and the server's making its Date: then it is 1 s off.
    if difference[0] == "恭喜，时间正确！":
        want_colour = GREEN
    elif difference[0] == "1秒":
        want_colour = RED
    else:
        found.append(f"编辑框_相差 shows {difference[0]!r}")
        want_colour = None
    if want_colour and (difference[1] != want_colour or local[1] != want_colour):
        found.append(f"colours: 编辑框_相差 {difference[1]}, 编辑框1 {local[1]}, want {want_colour}")
    return found

def header_problems(requests):
    found = []
    for i, request in enumerate(requests):
        if (request["method"], request["path"]) != ("HEAD", "/"):
            found.append(f"request {i + 1} is {request['method']} {request['path']}")
        ours = [(n, v) for n, v in request["headers"] if n in dict(EXPECTED_HEADERS)]
        if ours != EXPECTED_HEADERS:
            found.append(f"request {i + 1} headers {request['headers']}")
    return found

state = read_state()
requests = read_requests()
if state is None:
    sys.exit(1)

if what == "started":
    sys.exit(0 if state["window"][4] == "visible" else 1)

if what == "window":
    # Xvfb's screen is 1024x768 and has no window manager: the frame is the client area.
    want = ["322", "311", "380", "146", "visible"]
    fixed = {"标签1": ["时间相差：", "-", "enabled"], "按钮1": ["立即同步", "-", "enabled"]}
    found = [] if state["window"] == want else [f"window {state['window']}, want {want}"]
    found += [f"{name} {state[name]}" for name, row in fixed.items() if state[name] != row]
    if found:
        print("\n".join(found))
    sys.exit(1 if found else 0)

if what == "refreshed":
    # Quietly "not yet" until the refresh is done, then every problem.
    if len(requests) < 2 or state["编辑框_相差"][0] == "":
        sys.exit(2)
    found = problems_after_refresh(state, requests, 0)
    found += header_problems(requests)
    if len(requests) != 2:
        found.append(f"{len(requests)} requests, want 2")
    print("\n".join(found) or f"ok: {state['编辑框1'][0]} / {state['编辑框2'][0]} / "
          f"{state['编辑框_相差'][0]}")
    sys.exit(1 if found else 0)

if what == "messagebox":
    if state["messagebox"][0] == "":
        sys.exit(2)
    found = []
    if state["messagebox"][0] != "时间同步失败！":
        found.append(f"message box says {state['messagebox'][0]!r}")
    if state["按钮1"][2] != "disabled":
        found.append("the button is enabled while the box is open")
    print("\n".join(found) or "ok: 时间同步失败！ with the button disabled")
    sys.exit(1 if found else 0)

if what == "resynced":
    # After the box: the sync's own request plus a new refresh's two.
    if state["messagebox"][0] != "" or len(requests) < 5 or state["按钮1"][2] != "enabled":
        sys.exit(2)
    found = header_problems(requests)
    if len(requests) != 5:
        found.append(f"{len(requests)} requests, want 5")
    if "正在获取" in state["编辑框1"][0] or "正在获取" in state["编辑框2"][0]:
        found.append("the waiting texts came back")
    print("\n".join(found) or "ok: button enabled, five requests")
    sys.exit(1 if found else 0)

sys.exit(3)
PY

  # Poll a check that answers 2 for "not yet"; anything else is its verdict.
  settle() {
    local seconds=$1 what=$2 deadline=$((SECONDS + $1)) rc
    while :; do
      rc=0
      check "$state" "$work/requests.jsonl" "$what" >"$work/verdict.txt" 2>&1 || rc=$?
      if ((rc != 2)) || ((SECONDS >= deadline)); then
        cat "$work/verdict.txt"
        return "$rc"
      fi
      kill -0 "$program_pid" 2>/dev/null || { echo "the program ended"; return 1; }
      sleep 0.1
    done
  }

  wait_for 20 check "$state" "$work/requests.jsonl" started || fail "the window did not appear"
  check "$state" "$work/requests.jsonl" window || fail "window geometry or fixed texts"
  note "window 380x146 at (322,311) on a 1024x768 screen"

  settle 40 refreshed || fail "after the first refresh"
  local window_id
  window_id=$(xdotool search --onlyvisible --name 'Tolvaris' | head -1)
  [[ -n $window_id ]] || fail "no window titled Tolvaris… on the display"
  import -window root -crop 380x146+322+311 +repage "$work/window.png"
  note "the two HEAD / requests carried Accept, Referer, Accept-Language, User-Agent in order"

  # "立即同步": the button's centre in screen coordinates.
  xdotool mousemove 646 383 click 1
  settle 40 messagebox || fail "after clicking 立即同步"
  local box_id
  box_id=$(xdotool search --onlyvisible --name '信息：' | head -1)
  [[ -n $box_id ]] || fail "no message box titled 信息： on the display"
  import -window root "$work/messagebox.png"
  xdotool windowfocus --sync "$box_id" key Return
  settle 40 resynced || fail "after closing the message box"

  xdotool windowfocus --sync "$window_id" key Escape
  local code=0 deadline=$((SECONDS + 10))
  while kill -0 "$program_pid" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.1; done
  kill -0 "$program_pid" 2>/dev/null && fail "Esc did not end the program"
  wait "$program_pid" || code=$?
  ((code == 0)) || fail "the program ended with exit code $code (see $work/program.log)"
  note "Esc ended the program with exit code 0"
}

if [[ "${1:-}" == "--inside" ]]; then
  shift
  inside "$@"
  exit 0
fi

# ---------------------------------------------------------------------------------------------
# Outside: build, then run the rest in fresh namespaces.
# ---------------------------------------------------------------------------------------------
for tool in Xvfb xdotool import unshare ip; do
  command -v "$tool" >/dev/null || fail "$tool is missing (bash scripts/install-deps.sh --all)"
done

note "building in $build_dir"
cmake -S . -B "$build_dir" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLVARIS_BUILD_TESTS=ON >/dev/null
cmake --build "$build_dir" -j "$(jobs_for_build)" --target tolvaris-time-sync-testhook >/dev/null
program=$(realpath "$build_dir/tests/platform/qt/tolvaris-time-sync-testhook")

work=$(mktemp -d /tmp/tolvaris-e2e.XXXXXX)
status=0
unshare --net --mount --propagation private -- bash "$0" --inside "$work" "$program" || status=$?
for picture in window.png messagebox.png; do
  if [[ -f $work/$picture ]]; then cp "$work/$picture" "$build_dir/$picture"; fi
done
if ((status == 0)); then
  note "passed; screenshots in $build_dir/window.png and $build_dir/messagebox.png"
  rm -rf "$work"
else
  echo "e2e: logs kept in $work" >&2
fi
exit "$status"
