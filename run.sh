#!/usr/bin/env bash
# Installs what is missing, builds, and then either starts the desktop
# program (when a display is available) or runs the demo: the sample site in
# data/sample-site is served from 127.0.0.1, grabbed, turned into words,
# phrases and pages, and written to out/demo-site/.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${CI:-}" ] && [ -x build/bin/vellora-brindo ]; then
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
