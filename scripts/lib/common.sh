# Shared helpers of the project's scripts (sourced).

# True when this process holds CAP_SYS_TIME (bit 25) in its effective or bounding set.
has_sys_time() {
  local eff bnd
  eff=$(awk '/^CapEff:/ {print $2}' /proc/self/status)
  bnd=$(awk '/^CapBnd:/ {print $2}' /proc/self/status)
  (( (0x$eff >> 25) & 1 )) || (( (0x$bnd >> 25) & 1 ))
}

# Runs "$@" without CAP_SYS_TIME, and refuses to run it if the drop did not take.
without_sys_time() {
  setpriv --bounding-set=-sys_time --inh-caps=-sys_time --ambient-caps=-sys_time -- \
    bash -c 'eff=$(awk "/^CapEff:/ {print \$2}" /proc/self/status); bnd=$(awk "/^CapBnd:/ {print \$2}" /proc/self/status)
             if (( (0x$eff >> 25) & 1 )) || (( (0x$bnd >> 25) & 1 )); then echo "CAP_SYS_TIME still held" >&2; exit 99; fi
             exec "$@"' bash "$@"
}

# Polls "$@" every 0.1 s until it succeeds or SECONDS have passed.
wait_for() {  # wait_for SECONDS COMMAND...
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

jobs_for_build() { nproc 2>/dev/null || echo 2; }

# The host of the program's time source, read from the code so that the tests follow it.
time_source_host() {  # time_source_host SOURCE_ROOT
  grep -o 'TimeSourceUrl\[\] = "http://[^/"]*' "$1/nettime/network_time.h" | sed 's#.*http://##'
}

# For a test inside a fresh network and mount namespace (unshare -n -m): brings loopback up,
# maps the time source's host to 127.0.0.1 through a hosts file kept in WORKDIR, and covers
# /run/dbus so that nothing can reach the machine's system bus and its time service. Fails when
# the host cannot be found or the system bus socket is still visible.
isolate_time_source() {  # isolate_time_source SOURCE_ROOT WORKDIR
  local host
  host=$(time_source_host "$1")
  [[ -n $host ]] || { echo "cannot find the time source's host" >&2; return 1; }
  ip link set lo up
  printf '127.0.0.1 localhost\n::1 localhost\n127.0.0.1 %s\n' "$host" >"$2/hosts"
  mount --bind "$2/hosts" /etc/hosts
  if [[ -d /run/dbus ]]; then mount -t tmpfs -o size=64k,mode=0755 tolvaris-no-system-bus /run/dbus; fi
  [[ ! -e /run/dbus/system_bus_socket ]] || { echo "the system bus socket is still visible" >&2; return 1; }
}
