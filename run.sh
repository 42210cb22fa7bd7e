#!/usr/bin/env bash
# Installs what is missing, builds, and then either starts the desktop
# program (when a display is available) or runs the demo: the sample site in
# data/sample-site is served from 127.0.0.1, grabbed, turned into words,
# phrases and pages, and written to out/demo-site/; then the same over HTTPS
# (nginx with a certificate of an authority made for the demo, four
# downloads at once) into out/demo-site-https/.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVB_BUILD_GUI=ON >/dev/null
cmake --build build -j "$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
  if [ ! -x build/bin/vellora-brindo ]; then
    echo "run.sh: the desktop program was not built (build/bin/vellora-brindo is missing)" >&2
    exit 1
  fi
  exec build/bin/vellora-brindo
fi

# The demo. A small web server serves the sample site; it stops with this
# script, and by itself after ten minutes at the latest.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
timeout 600 python3 -m http.server "$port" --bind 127.0.0.1 --directory data/sample-site \
  >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  if python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null; then
    break
  fi
  sleep 0.1
done

out="$root/out"
site="$out/demo-site"
presets="$out/demo-presets"
rm -rf "$site" "$presets"
mkdir -p "$out"
urls="$out/demo-urls.txt"
: >"$urls"
for page in data/sample-site/*.html; do
  echo "http://127.0.0.1:$port/$(basename "$page")" >>"$urls"
done

build/bin/vellora run --presets "$presets" --preset demo --create --seed 2026 \
  --set "urls2grab=@$urls" \
  --set "eresfolder=$site" \
  --set "esitename=Morvenna Lantern Kites" \
  --set "esiteurl=http://kites.example/" \
  --set "edataurl=http://kites.example/pages/" \
  --set "sentmin=2" --set "sentmax=5" --set "parmin=2" --set "parmax=4" \
  --set "phraselength=3" \
  grab extract phrases generate save

echo
echo "The demo site is written to: $site"
ls "$site"

# The same over HTTPS.
site_https="$out/demo-site-https"
tls_work="$out/demo-tls"
rm -rf "$site_https" "$tls_work"
read -r tls_port _ tls_pid < <(scripts/tls-site.sh data/sample-site "$tls_work" 600)
trap 'kill $server $tls_pid 2>/dev/null || true' EXIT
urls_https="$out/demo-urls-https.txt"
: >"$urls_https"
for page in data/sample-site/*.html; do
  echo "https://localhost:$tls_port/$(basename "$page")" >>"$urls_https"
done
SSL_CERT_FILE="$tls_work/certs/ca.pem" build/bin/vellora run --presets "$presets" \
  --preset demo-https --create --seed 2026 \
  --set allowhttps=1 --set grabconnections=4 --set grabtimeout=30 \
  --set "urls2grab=@$urls_https" \
  --set "eresfolder=$site_https" \
  --set "esitename=Morvenna Lantern Kites" \
  --set "esiteurl=http://kites.example/" \
  --set "edataurl=http://kites.example/pages/" \
  --set "sentmin=2" --set "sentmax=5" --set "parmin=2" --set "parmax=4" \
  --set "phraselength=3" \
  grab extract phrases generate save

echo
echo "The demo site grabbed over HTTPS is written to: $site_https"
ls "$site_https"
