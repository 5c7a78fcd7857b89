#!/usr/bin/env bash
# Installs the Debian packages the build, the saver and the tests need, and only those that are
# missing, so that a second run costs a few dpkg queries. Runs as root or through sudo.
# Arguments replace the list: `tools/setup.sh sox` installs just what another script needs.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  libsdl2-dev libfreetype-dev libfontconfig-dev fonts-liberation2
  libjpeg62-turbo-dev libjpeg-turbo-progs libgif-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb x11-utils x11-apps xdotool imagemagick
  nginx tinyproxy curl
  libexpat1-dev  # the XML parser the feed reading benchmark measures against
  locales-all  # the clock's tests format the time in the en_US, en_GB and de_DE locales
)
[ $# -eq 0 ] || packages=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
