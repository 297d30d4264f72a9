#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build, the tests and the tools need.
# Idempotent, and silent when everything is already present.
#   scripts/install-deps.sh            build + run the Linux program
#   scripts/install-deps.sh --all      also the test, fuzz, cross-build, Wine and packaging tools
set -euo pipefail

run_packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libcurl4-openssl-dev libsystemd-dev
  fonts-wqy-microhei
)
test_packages=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  python3 python3-dbus python3-gi dbus-daemon libxtst6 openssl curl tinyproxy
  iproute2 util-linux libcap2-bin
  xvfb xauth x11-apps xdotool imagemagick librsvg2-bin icoutils
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 locales
  dpkg-dev lintian file hyperfine time
)

wanted=("${run_packages[@]}")
if [[ "${1:-}" == "--all" ]]; then
  wanted+=("${test_packages[@]}")
fi

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
((${#missing[@]} == 0)) && exit 0

export DEBIAN_FRONTEND=noninteractive
sudo_if() { if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi; }
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_if dpkg --add-architecture i386
fi
echo "installing: ${missing[*]}"
sudo_if apt-get update -qq
sudo_if apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
