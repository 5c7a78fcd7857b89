#!/usr/bin/env bash
# The saver under the real XScreenSaver daemon, as a desktop runs it: the daemon refuses to launch
# hacks as root, so an ordinary user is made, and a private Xvfb lets only that user (and this
# script, through the same cookie) in. A ~/.xscreensaver that lists only this hack; activating
# shows the moving scene (two screenshots differ), deactivating ends the hack within
# 1 s and gives the volume back. The hack is added to the list by the README's own line. Usage: xscreensaver_hack.sh BUILD_DIR. Needs root (exit 77, skipped, otherwise).
set -euo pipefail
build=$(readlink -f "${1:?usage: $0 BUILD_DIR}")
[ "$(id -u)" -eq 0 ] || { echo "skipped: making the daemon's user needs root"; exit 77; }
command -v xscreensaver >/dev/null || { echo "xscreensaver is not installed (tools/setup.sh)"; exit 1; }

user=solvane-hack
id "$user" >/dev/null 2>&1 || useradd --create-home --user-group --shell /bin/sh "$user"
home=$(getent passwd "$user" | cut -d: -f6)
work=$(mktemp -d)
chmod 755 "$work"
# The user runs its own copy (the launcher and the saver's modules and resources beside it): the build folder
# need not be readable to others.
install -m 755 "$build/solvane" "$work/solvane"
install -m 644 "$build/solvane-saver.so" "$build/solvane-assets.so" "$build/solvane-tls.so" "$work/"
runtime=$work/runtime
install -d -m 700 -o "$user" "$runtime"

export XAUTHORITY=$work/xauth
xauth -q -f "$XAUTHORITY" add :0 . "$(mcookie)" 2>/dev/null
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset -auth "$XAUTHORITY" 3>"$work/display" \
  >/dev/null 2>&1 &
xvfb=$!
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -z "${hack:-}" ] || kill "$hack" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$work/display")
# The cookie was written for :0 before the number was known; write it for the real display.
xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$(xauth -f "$XAUTHORITY" list | awk 'NR==1{print $3}')"
chown "$user" "$XAUTHORITY"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

cat >"$home/.xscreensaver" <<'CONF'
mode:		one
selected:	0
timeout:	0:30:00
lock:		False
fade:		False
unfade:		False
splash:		False
programs:	\

CONF
# The README's own line adds the hack to the list; solvane is found on PATH.
readme_line=$(grep -o "sed -i '/^programs:/.*' ~/.xscreensaver" "$(dirname "$0")/../../README.md")
[ -n "$readme_line" ] || { echo "FAIL: README has no line adding the hack"; exit 1; }
(cd "$home" && HOME=$home bash -c "$readme_line")
grep -q '"Solvane"  solvane --root' "$home/.xscreensaver" || { echo "FAIL: README's line did not add the hack"; exit 1; }
chown "$user" "$home/.xscreensaver"
# A sound server of the user's own with a silent output, reached through ALSA's pulse plugin: the
# master volume the saver sets and gives back.
cat >"$work/server.pa" <<PA
load-module module-null-sink sink_name=solvane_test
load-module module-native-protocol-unix auth-anonymous=1 socket=$runtime/native
set-default-sink solvane_test
PA
printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' >"$work/asound.conf"
as_user=(runuser -u "$user" -- env HOME="$home" PATH="$work:/usr/bin:/bin" DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY"
  XDG_RUNTIME_DIR="$runtime" PULSE_RUNTIME_PATH="$runtime" PULSE_SERVER="unix:$runtime/native"
  ALSA_CONFIG_PATH="$work/asound.conf" SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0)
"${as_user[@]}" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes -F "$work/server.pa" \
  >/dev/null 2>&1 &
pids+=($!)
volume() { "${as_user[@]}" pactl get-sink-volume solvane_test 2>/dev/null | grep -o '[0-9]*%' | head -n1; }
for _ in $(seq 100); do [ -n "$(volume)" ] && break; sleep 0.05; done
"${as_user[@]}" pactl set-sink-volume solvane_test 30%
[ "$(volume)" = "30%" ] || { echo "FAIL: no sound server for the user"; exit 1; }
"${as_user[@]}" xscreensaver -no-splash >"$work/daemon.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do "${as_user[@]}" xscreensaver-command -version >/dev/null 2>&1 && break; sleep 0.1; done

fail() { echo "FAIL: $*"; cat "$work/daemon.log"; exit 1; }
"${as_user[@]}" xscreensaver-command -activate >/dev/null || fail "the daemon does not answer"
# The hack starts in the daemon's own time, and sets the volume once its sound is open.
hack=
for _ in $(seq 200); do
  hack=$(pgrep -u "$user" -x solvane | head -n1) && [ "$(volume)" != "30%" ] && break
  sleep 0.1
done
[ -n "$hack" ] || fail "no hack process after 20 s"
[ "$(volume)" != "30%" ] || fail "the hack did not set the volume"
[ "$(ps -o user= -p "$hack")" = "$user" ] || fail "the hack does not run as $user"
shots=${SOLVANE_SCREENSHOTS:-$build}
pixel() { convert "$1" -format "%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]" -crop "1x1+$2+$3" info:; }
for _ in $(seq 100); do
  import -window root "$shots/xscreensaver-1.png"
  [ "$(pixel "$shots/xscreensaver-1.png" 640 512)" != "0,0,0" ] && break
  sleep 0.1
done
sleep 0.5
import -window root "$shots/xscreensaver-2.png"
[ "$(pixel "$shots/xscreensaver-1.png" 640 10)" = "0,0,0" ] || fail "no black bar above the scene"
[ "$(pixel "$shots/xscreensaver-1.png" 640 512)" != "0,0,0" ] || fail "the scene is not drawn"
diff=$(compare -metric AE "$shots/xscreensaver-1.png" "$shots/xscreensaver-2.png" null: 2>&1 || true)
[ "${diff%% *}" -gt 0 ] 2>/dev/null || fail "the scene does not move ($diff)"

"${as_user[@]}" xscreensaver-command -deactivate >/dev/null
# Ended means dead: the daemon reaps its hacks in its own time.
running() { local s; s=$(ps -o stat= -p "$hack" 2>/dev/null) && [ "${s:0:1}" != Z ]; }
for _ in $(seq 10); do running || break; sleep 0.1; done
! running || fail "the hack still runs 1 s after deactivating"
[ "$(volume)" = "30%" ] || fail "the volume was not given back: $(volume)"
echo "xscreensaver ran the hack as $user: scene drawn and moving ($diff pixels changed), ended within 1 s, the volume given back"
