#!/usr/bin/env bash
# Runs a test program so that it can neither set this machine's clock nor reach its system bus:
# in a mount namespace of its own where an empty tmpfs covers /run/dbus, and without CAP_SYS_TIME.
# Both are checked before the program starts; the script refuses to run it otherwise.
#   without_clock_rights.sh PROGRAM [ARGS...]
set -euo pipefail

sys_time_held() {
  local eff bnd
  eff=$(awk '/^CapEff:/ {print $2}' /proc/self/status)
  bnd=$(awk '/^CapBnd:/ {print $2}' /proc/self/status)
  (( (0x$eff >> 25) & 1 )) || (( (0x$bnd >> 25) & 1 ))
}

case "${1:-}" in
  --hide-bus)
    shift
    if [[ -d /run/dbus ]]; then
      mount -t tmpfs -o size=16k,mode=0755 tolvaris-no-system-bus /run/dbus
    fi
    if sys_time_held; then
      exec setpriv --bounding-set=-sys_time --inh-caps=-sys_time --ambient-caps=-sys_time -- \
        "$0" --checked "$@"
    fi
    exec "$0" --checked "$@"
    ;;
  --checked)
    shift
    if sys_time_held; then
      echo "without_clock_rights.sh: CAP_SYS_TIME is still held" >&2
      exit 99
    fi
    if [[ -e /run/dbus/system_bus_socket ]]; then
      echo "without_clock_rights.sh: the system bus socket is still visible" >&2
      exit 98
    fi
    exec "$@"
    ;;
esac

# Root gets a plain mount namespace; anyone else a user namespace that maps them to root in it.
if unshare --mount true 2>/dev/null; then
  exec unshare --mount --propagation private "$0" --hide-bus "$@"
fi
exec unshare --user --map-root-user --mount --propagation private "$0" --hide-bus "$@"
