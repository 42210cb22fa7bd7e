# Sourced by the script tests: a scratch folder and a local web server, both
# gone when the script exits.
#
# make_scratch sets $work to a fresh temporary folder; on exit the folder is
# removed and the server, if one was started, is stopped.
#
# serve_folder DIR starts python3's http.server on a free port of 127.0.0.1,
# sets $port and $server (its pid) and returns once it accepts connections
# (status 1 when it never does). The server also stops by itself after five
# minutes.

make_scratch() {
  work=$(mktemp -d)
  server=
  trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
}

serve_folder() {
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  timeout 300 python3 -m http.server "$port" --bind 127.0.0.1 --directory "$1" \
    >/dev/null 2>&1 &
  server=$!
  for _ in $(seq 100); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null &&
      return 0
    sleep 0.1
  done
  return 1
}
