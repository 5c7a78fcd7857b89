#!/usr/bin/env bash
# Installs the Debian package into a clean root (an unpacked tree) and checks it file by file:
# every file the desktops need is there and valid, nothing else is shipped but the program's
# modules, each library an ELF file links comes from a declared dependency, lintian finds no
# error, and the installed program runs its password and preview modes without a display.
# Usage: tests/packaging/check_package.sh PACKAGE.deb
set -euo pipefail

deb=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root/tree"
tree=$root/tree
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

app=com.kestrinsoftware.Solvane
expected=(
  usr/bin/solvane
  usr/libexec/xscreensaver/solvane
  usr/share/xscreensaver/config/solvane.xml
  usr/share/applications/$app.desktop
  usr/share/applications/screensavers/solvane.desktop
  usr/share/metainfo/$app.metainfo.xml
  usr/share/icons/hicolor/128x128/apps/$app.png
  usr/share/man/man1/solvane.1.gz
  usr/share/doc/solvane/copyright
  usr/share/doc/solvane/changelog.gz
)
check_files() {
  local file
  for file in "${expected[@]}"; do
    [ -e "$tree/$file" ] || fail "$file is missing"
  done
  # Loadable modules of the program (the saver, the settings dialog, the idle watcher, the built-in
  # resources, TLS) are the only other files allowed.
  while read -r file; do
    printf '%s\n' "${expected[@]}" | grep -qxF "$file" ||
      [[ $file == usr/lib/*/solvane/*.so || $file == usr/lib/solvane/*.so ]] ||
      fail "unexpected file $file"
  done < <(cd "$tree" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort)
  local module
  for module in solvane-saver.so solvane-dialog.so solvane-idle.so solvane-assets.so solvane-tls.so; do
    compgen -G "$tree/usr/lib/*/solvane/$module" >/dev/null || fail "the program's module $module is missing"
  done
  [ "$(readlink -f "$tree/usr/libexec/xscreensaver/solvane")" = "$(readlink -f "$tree/usr/bin/solvane")" ] ||
    fail "the hack is not the installed program"
}

check_contents() {
  local share=$tree/usr/share
  xmllint --noout "$share/xscreensaver/config/solvane.xml" || fail "solvane.xml is not well-formed"
  grep -q '<screensaver name="solvane"' "$share/xscreensaver/config/solvane.xml" &&
    grep -q '<command arg="--root"/>' "$share/xscreensaver/config/solvane.xml" ||
    fail "solvane.xml does not run solvane --root"
  local out
  out=$(desktop-file-validate "$share/applications/$app.desktop" \
    "$share/applications/screensavers/solvane.desktop") || fail "invalid desktop entry: $out"
  grep -qx 'Exec=solvane /c' "$share/applications/$app.desktop" || fail "settings entry Exec"
  grep -qx "Icon=$app" "$share/applications/$app.desktop" || fail "settings entry Icon"
  grep -qx 'Categories=Screensaver;' "$share/applications/screensavers/solvane.desktop" ||
    fail "saver entry Categories"
  appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate rejects the metainfo"
  MANWIDTH=80 man -l "$share/man/man1/solvane.1.gz" 2>&1 | grep -q 'solvane - animated coast' ||
    fail "man -l does not show the page"
  grep -q 'GeoNames' "$share/doc/solvane/copyright" &&
    grep -q 'Weather data by' "$share/doc/solvane/copyright" || fail "data credits missing"
}

# Each library named in an ELF file's NEEDED entries must belong to a package in Depends.
check_dependencies() {
  local depends elf lib path package
  depends=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/(.*//; s/ //g')
  while read -r elf; do
    while read -r lib; do
      # ldd names the dynamic loader (needed by position-independent code's thread-local
      # variables) by its path alone.
      path=$(ldd "$elf" | awk -v lib="$lib" '$1 == lib { print $3 }
        $2 ~ /^\(0x/ && $1 ~ ("/" lib "$") { print $1 }')
      [ -n "$path" ] || { fail "$elf: $lib is not found"; continue; }
      package=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null || dpkg -S "$path" | head -1)
      package=${package%%:*}
      grep -qxF "$package" <<<"$depends" || fail "$elf links $lib of $package, not in Depends"
    done < <(readelf -d "$elf" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  done < <(find "$tree" -type f -exec sh -c 'file -b "$1" | grep -q ^ELF' _ {} \; -print)
}

# The installed program without a display: each mode reports on standard error and exits with
# its status (0, the idle watcher 1).
check_runs() {
  local program=$1 mode=$2 arg=$3 message=$4 expected=${5:-0} status=0 err
  err=$(env -i HOME="$root/home" PATH=/usr/bin:/bin "$program" "$mode" "$arg" 2>&1 >/dev/null) ||
    status=$?
  [ "$status" -eq "$expected" ] || fail "$program $mode $arg exited with $status"
  grep -qF "$message" <<<"$err" || fail "$program $mode $arg said: $err"
}

mkdir -p "$root/home"
check_files
check_contents
check_dependencies
lintian_out=$(lintian --fail-on error "$deb" 2>&1) || fail "lintian: $lintian_out"
check_runs "$tree/usr/bin/solvane" /a 1 "MPR.DLL not found: cannot change password."
check_runs "$tree/usr/bin/solvane" /p abc "'abc' is not a valid integer value"
check_runs "$tree/usr/libexec/xscreensaver/solvane" /a 1 "MPR.DLL not found"
check_runs "$tree/usr/bin/solvane" --idle 600 "needs a desktop session" 1

[ "$failures" -eq 0 ] || { echo "$failures package check(s) failed" >&2; exit 1; }
echo "Package $(basename "$deb"): installed into a clean root, every check passed"
