#!/usr/bin/env bash
# Installs the Debian packages the build, the saver and the tests need, and only those that are
# missing, so that a second run costs a few dpkg queries. As root it installs directly (a fresh
# Debian has no sudo); any other user goes through sudo, which must then be installed.
# Arguments replace the list: `tools/setup.sh sox` installs just what another script needs.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  libsdl2-dev libfreetype-dev libfontconfig-dev fonts-liberation2
  libjpeg62-turbo-dev libjpeg-turbo-progs libgif-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb x11-utils x11-apps xdotool imagemagick
  tesseract-ocr python3-numpy python3-pil  # the screenshots' texts read back, their pixels measured
  nginx tinyproxy curl
  squid  # the proxy of the network tests that keeps its connections open, as deployed proxies do
  python3  # the network tests' TLS server that closes without a TLS goodbye
  locales-all  # the clock's tests format the time in en_US, en_GB, de_DE, en_IN, sq_AL and fa_IR
  # the Debian package: CPack's dependency scan, and the checks of what it installs
  file lintian appstream desktop-file-utils man-db
  nlohmann-json3-dev  # the JSON reader of the live weather source
  libexpat1-dev  # the XML parser the feed reading benchmark measures against
  qt6-base-dev  # the configuration dialog's widgets and their tests (Qt Test)
  xscreensaver xauth  # the hack run under the real screensaver daemon, as a user of its own
  libxss-dev dbus-daemon dbus-bin  # the checks that the saver inhibits no screensaver
  # the master volume (ALSA's mixer), reached in the tests through a PulseAudio server of their own
  libasound2-dev libasound2-plugins pulseaudio pulseaudio-utils
  qt6-base-dev-tools  # uic, which turns the dialog's Designer form into code
  libxrandr-dev libxcb1-dev  # the monitors as RandR reports them, the pointer asked of the X server
  libxcb-xinput-dev  # a device's raw motion, which tells a hand on the mouse from a program's warp
  libxcb-dpms0-dev  # whether the monitors are powered off, asked while the saver runs
  libwayland-dev wayland-protocols plasma-wayland-protocols  # the Wayland protocols the saver speaks itself
  # the idle watcher: the session bus (sd-bus) and the X server's screensaver events
  libsystemd-dev libxcb-screensaver0-dev
  # real desktops for the saver's tests: Xorg with the dummy driver and its monitors, window
  # managers, sway headless with its screenshot, keyboard and idle tools, the idle starters README
  # names, and the pictures read back
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils openbox xfwm4 i3-wm
  awesome bspwm herbstluftwm spectrwm dwm stress-ng  # tiling window managers on a busy machine
  sway grim wtype swayidle xautolock mate-screensaver libglib2.0-bin python3-numpy python3-pil
  i3lock  # a screen locker started over the running saver
  xwayland  # the X server beside sway, as in a real Wayland session (DISPLAY set too)
  # GNOME Shell and KWin headless for the idle watcher's tests: their sessions (dbus-run-session),
  # the agents that ask them for windows, screenshots and input (python3-gi), KWin's fake input
  gnome-shell kwin-wayland dbus-bin python3-gi
)
[ $# -eq 0 ] || packages=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "Missing packages: ${missing[*]}" >&2
      echo "Run this as root once (su -c \"$0${*:+ $*}\"), or install sudo." >&2
      exit 1
    fi
    as_root=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  # sudo resets the environment, so the front end is set behind it.
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
