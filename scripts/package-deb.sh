#!/usr/bin/env bash
# Builds the Debian package of the Linux program in build/deb, with Debian's hardening flags.
# With --check it also proves the package: its exact file list and modes, its control fields,
# a Depends entry for every shared library the binary needs, an install into a scratch root in
# which every library of the installed binary resolves, and lintian without errors.
#   bash scripts/package-deb.sh [--check]
# Nothing here runs the program or touches the clock; the scratch root is a plain directory.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh

check=false
case "${1:-}" in
  --check) check=true ;;
  "") ;;
  *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

build_dir=build/deb
package=tolvaris-time-sync

# As debhelper builds a package: build type None, the flags from dpkg-buildflags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build_dir" -G Ninja -Wno-dev \
  -DCMAKE_BUILD_TYPE=None \
  -DTOLVARIS_BUILD_TESTS=OFF -DTOLVARIS_BUILD_GUI=ON \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build_dir" -j "$(jobs_for_build)"
rm -f "$build_dir"/${package}_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
debs=("$build_dir"/${package}_*.deb)
if [[ ${#debs[@]} -ne 1 || ! -f ${debs[0]} ]]; then
  echo "package-deb: expected one ${package}_*.deb in $build_dir, found: ${debs[*]}" >&2
  exit 1
fi
deb=${debs[0]}
echo "package: $deb ($(stat -c %s "$deb") bytes, Installed-Size $(dpkg-deb -f "$deb" Installed-Size) KiB)"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
$check || exit 0

failures=0
fail() { echo "package-deb: $*" >&2; failures=$((failures + 1)); }

# --- file list: exactly these files, owned by root, with these modes.
expected_files=$(
  {
    echo "-rwxr-xr-x ./usr/bin/${package}"
    echo "-rw-r--r-- ./usr/share/applications/${package}.desktop"
    for size in 16 24 32 48 64 128 256; do
      echo "-rw-r--r-- ./usr/share/icons/hicolor/${size}x${size}/apps/${package}.png"
    done
    echo "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/${package}.svg"
    echo "-rw-r--r-- ./usr/share/doc/${package}/changelog.gz"
    echo "-rw-r--r-- ./usr/share/doc/${package}/copyright"
    echo "-rw-r--r-- ./usr/share/man/man1/${package}.1.gz"
  } | sort
)
listing=$(dpkg-deb -c "$deb")
actual_files=$(awk '$1 !~ /^d/ {print $1, $6}' <<<"$listing" | sort)
if [[ "$actual_files" != "$expected_files" ]]; then
  fail "file list differs (< expected, > in the package):"
  diff <(echo "$expected_files") <(echo "$actual_files") >&2 || true
fi
if awk '$2 != "root/root" {found = 1} END {exit !found}' <<<"$listing"; then
  fail "entries not owned by root/root:"
  awk '$2 != "root/root"' <<<"$listing" >&2
fi

# --- control fields.
for field in Package Version Architecture Maintainer Section Priority Description Depends; do
  [[ -n "$(dpkg-deb -f "$deb" "$field")" ]] || fail "control field $field is missing or empty"
done
[[ "$(dpkg-deb -f "$deb" Package)" == "$package" ]] || fail "Package is not $package"
[[ "$(dpkg-deb -f "$deb" Architecture)" == "$(dpkg --print-architecture)" ]] ||
  fail "Architecture is not $(dpkg --print-architecture)"

# The package that installed a library, by the path ldd found it at: dpkg knows each file by the
# path its package ships (/lib/... or /usr/lib/... on a merged-/usr system), so try both.
package_owning() {
  local path=$1 candidate
  for candidate in "$path" "$(readlink -f "$path")" "/usr$path" "${path#/usr}"; do
    dpkg -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1 && return 0
  done
  return 0
}

# --- install into a scratch root; the installed binary must find every library it needs.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tolvaris-deb-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/root"
binary="$scratch/root/usr/bin/${package}"
if [[ ! -x "$binary" ]]; then
  fail "the installed binary $binary is missing or not executable"
else
  ldd_output=$(ldd "$binary" 2>&1) || fail "ldd failed on the installed binary: $ldd_output"
  if grep -q "not found" <<<"$ldd_output"; then
    fail "unresolved libraries of the installed binary:"
    grep "not found" <<<"$ldd_output" >&2
  fi
  # Every library the binary names itself must come from a package listed in Depends.
  depends=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/^ *//; s/ *$//')
  for soname in $(objdump -p "$binary" | awk '$1 == "NEEDED" {print $2}'); do
    path=$(awk -v lib="$soname" '$1 == lib && $3 ~ /^\// {print $3}' <<<"$ldd_output")
    owner=$(package_owning "$path")
    if [[ -z "$owner" ]]; then
      fail "no package owns $soname ($path)"
    elif ! grep -qx "$owner" <<<"$depends"; then
      fail "$soname comes from $owner, which Depends does not list"
    fi
  done
fi

# --- lintian: errors fail the check, warnings are shown. Run as nobody when we are root, as
# lintian asks, on a copy in a directory of nobody's.
lint_dir="$scratch/lint"
mkdir -m 0755 "$lint_dir"
install -m 0644 "$deb" "$lint_dir/"
chmod 0755 "$scratch"
((EUID == 0)) && chown nobody:nogroup "$lint_dir"
lint=(lintian --tag-display-limit 0 --fail-on error "$lint_dir/$(basename "$deb")")
if ((EUID == 0)); then
  lint=(setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$lint_dir" "${lint[@]}")
fi
lintian_output=$(TMPDIR="$lint_dir" "${lint[@]}" 2>&1) || fail "lintian reports errors"
[[ -n "$lintian_output" ]] && echo "$lintian_output"

if ((failures)); then
  echo "package-deb: $failures check(s) failed" >&2
  exit 1
fi
echo "package-deb: file list, control fields, dependencies, scratch install and lintian ok"
