#!/bin/bash
# Serves a folder over HTTPS (and plain HTTP) from a private nginx on
# 127.0.0.1, with a certificate from a test authority made for it, for the
# demo and the end-to-end test.
#   scripts/tls-site.sh FOLDER WORKDIR [SECONDS]
# Makes WORKDIR/certs (see tls-certs.sh), starts nginx in the background and
# prints one line: "HTTPS_PORT HTTP_PORT PID". Trust the authority with
# SSL_CERT_FILE=WORKDIR/certs/ca.pem; the certificate is valid for localhost
# and 127.0.0.1. nginx stops when PID is killed, and by itself after SECONDS
# (default 600).
set -euo pipefail
folder=$(cd "${1:?usage: tls-site.sh FOLDER WORKDIR [SECONDS]}" && pwd)
work=${2:?usage: tls-site.sh FOLDER WORKDIR [SECONDS]}
seconds=${3:-600}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
work=$(cd "$work" && pwd)
"$here/tls-certs.sh" "$work/certs"

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
listening() {
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $1), 1)" 2>/dev/null
}

for attempt in 1 2 3; do
  https_port=$(free_port)
  http_port=$(free_port)
  {
    [ "$(id -u)" = 0 ] && echo "user root;"
    echo "daemon off; worker_processes 1; pid $work/nginx.pid; error_log $work/error.log;"
    echo "events { worker_connections 256; }"
    echo "http {"
    echo "  access_log off; default_type application/octet-stream;"
    echo "  types { text/html html htm; text/plain txt; }"
    for temp in client_body proxy fastcgi uwsgi scgi; do echo "  ${temp}_temp_path $work/$temp;"; done
    echo "  server {"
    echo "    listen 127.0.0.1:$https_port ssl; listen 127.0.0.1:$http_port;"
    echo "    ssl_certificate $work/certs/localhost.pem;"
    echo "    ssl_certificate_key $work/certs/localhost.key;"
    echo "    root $folder;"
    echo "  }"
    echo "}"
  } >"$work/nginx.conf"
  timeout "$seconds" /usr/sbin/nginx -p "$work" -e "$work/error.log" -c "$work/nginx.conf" \
    >/dev/null 2>&1 </dev/null &
  pid=$!
  for _ in $(seq 100); do
    if listening "$https_port" && listening "$http_port"; then
      echo "$https_port $http_port $pid"
      exit 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
done
echo "tls-site.sh: nginx did not start (see $work/error.log)" >&2
exit 1
