#!/usr/bin/env bash
# Peak resident size of the saver: runs `build/solvane /s` on a private Xvfb server at
# ${SOLVANE_MEASURE_SIZE:-1280x1024}x24 (settings and runtime folder private too, so the defaults apply and no music lock
# or sound server of the desktop is used) for SOLVANE_MEASURE_SECONDS (20) seconds, then prints
# VmHWM, the resident split at the end (anonymous, file-backed) and, with -v, the largest
# mappings. Ends the saver with SIGTERM. Usage: tools/measure-memory.sh [-v] [BINARY]
set -euo pipefail
cd "$(dirname "$0")/.."

verbose=0
if [ "${1:-}" = "-v" ]; then verbose=1; shift; fi
binary=${1:-build/solvane}
seconds=${SOLVANE_MEASURE_SECONDS:-20}

root=$(mktemp -d)
exec 3<> "$root/displayfd"
Xvfb -displayfd 3 -screen 0 ${SOLVANE_MEASURE_SIZE:-1280x1024}x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
saver_pid=
cleanup()
{
    [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$root"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$root/displayfd" ] && break; sleep 0.05; done
display=:$(head -n1 "$root/displayfd")

DISPLAY=$display XDG_CONFIG_HOME=$root XDG_RUNTIME_DIR=$root "$binary" /s &
saver_pid=$!
sleep "$seconds"
status=/proc/$saver_pid/status
[ -r "$status" ] || { echo "the saver ended before the measurement" >&2; exit 1; }
field() { awk -v k="$1:" '$1 == k { printf "%.1f", $2 / 1024 }' "$status"; }
echo "VmHWM $(field VmHWM) MB (at the end: VmRSS $(field VmRSS) MB =" \
     "anonymous $(field RssAnon) + file-backed $(field RssFile) + shared memory $(field RssShmem))"
if [ "$verbose" = 1 ]; then
    # Resident kB per mapping, largest first.
    awk '/^[0-9a-f]+-[0-9a-f]+ / { name = ($6 == "" ? "[anonymous]" : $6) }
         /^Rss:/ { rss[name] += $2 }
         END { for (n in rss) if (rss[n] >= 1024) printf "%8.1f MB  %s\n", rss[n] / 1024, n }' \
        "/proc/$saver_pid/smaps" | sort -rn | head -25
fi
kill -TERM "$saver_pid"
wait "$saver_pid" 2>/dev/null || true
saver_pid=
