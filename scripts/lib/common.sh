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

jobs_for_build() { nproc 2>/dev/null || echo 2; }
