#!/usr/bin/env bash
# The https fetch against curl: `solvane-feed get` and `curl` each fetch the same 64 KiB file from
# a local nginx over TLS (a CA made here, trusted through SSL_CERT_FILE / --cacert), as whole
# processes, alternating, RUNS times each; prints both medians and their ratio. The target is a
# ratio of at most 1.2.
#   tools/bench-https.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-41}
feed="$build/solvane-feed"
[ -x "$feed" ] || { echo "no $feed: build first" >&2; exit 2; }

dir=$(mktemp -d /tmp/solvane-bench-https-XXXXXX)
chmod 755 "$dir"
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT

key() { echo "-newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout $1"; }
openssl req -x509 $(key "$dir/ca.key") -out "$dir/ca.pem" -subj /CN=Bench-CA -days 2 2>/dev/null
openssl req $(key "$dir/s.key") -out "$dir/s.csr" -subj /CN=localhost 2>/dev/null
echo "subjectAltName=DNS:localhost" >"$dir/s.ext"
openssl x509 -req -in "$dir/s.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" -days 2 -extfile "$dir/s.ext" \
  -out "$dir/s.pem" 2>/dev/null
mkdir -p "$dir/www"
head -c 65536 /dev/urandom >"$dir/www/file.bin"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$dir/nginx.conf" <<CONF
worker_processes 1;
error_log $dir/error.log;
pid $dir/nginx.pid;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $dir/t1; proxy_temp_path $dir/t2; fastcgi_temp_path $dir/t3;
  uwsgi_temp_path $dir/t4; scgi_temp_path $dir/t5;
  server { listen 127.0.0.1:$port ssl; ssl_certificate $dir/s.pem; ssl_certificate_key $dir/s.key; root $dir/www; }
}
CONF
/usr/sbin/nginx -e "$dir/error.log" -p "$dir" -c "$dir/nginx.conf" -g "daemon off;" &
pid=$!
for _ in $(seq 50); do curl -s -o /dev/null --cacert "$dir/ca.pem" "https://localhost:$port/file.bin" && break; sleep 0.1; done

url="https://localhost:$port/file.bin"
cmp <(SSL_CERT_FILE="$dir/ca.pem" "$feed" get "$url" | tail -c 65536) "$dir/www/file.bin" ||
  { echo "solvane-feed did not fetch the file exactly" >&2; exit 1; }
SSL_CERT_FILE="$dir/ca.pem" python3 - "$runs" "$feed" "$url" "$dir/ca.pem" <<'PY'
import statistics, subprocess, sys, time
runs, feed, url, ca = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
commands = {"solvane-feed": [feed, "get", url], "curl": ["curl", "-s", "-0", "--cacert", ca, url]}
times = {name: [] for name in commands}
for _ in range(runs):
    for name, command in commands.items():
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
        times[name].append(time.perf_counter() - start)
ours, yardstick = (statistics.median(times[n]) * 1000 for n in ("solvane-feed", "curl"))
print(f"solvane-feed get: median {ours:.2f} ms; curl: median {yardstick:.2f} ms; "
      f"ratio {ours / yardstick:.2f} (target <= 1.20) over {runs} runs each")
PY
