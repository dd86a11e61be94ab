#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the test suite and the benchmarks.
#   cluster.sh start DIR   initdb in DIR, start the server on 127.0.0.1 (a free port, the unix socket in
#                          DIR) and print the URI of its maintenance database
#   cluster.sh stop DIR    stop the server and remove DIR
# The server refuses to run as root: as root it runs as the user postgres (or nobody).
set -euo pipefail

bindir() {
  local d
  d=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
  [ -n "$d" ] || { echo "PostgreSQL server is not installed" >&2; exit 1; }
  echo "$d"
}

as_owner() { # runs the command as the owner of the cluster folder
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$OWNER" -- "$@"
  else
    "$@"
  fi
}

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

cmd=${1:-}
dir=${2:-}
[ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
OWNER=postgres
id -u "$OWNER" >/dev/null 2>&1 || OWNER=nobody
BIN=$(bindir)

case "$cmd" in
start)
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown "$OWNER" "$dir"
  as_owner "$BIN/initdb" -D "$dir/data" -U orvane --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log" >&2; exit 1; }
  port=$(free_port)
  # Nothing of a throwaway cluster needs to survive a crash of the machine.
  as_owner "$BIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -o \
    "-h 127.0.0.1 -p $port -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
  echo "postgresql://orvane@127.0.0.1:$port/postgres"
  ;;
stop)
  [ -d "$dir/data" ] && as_owner "$BIN/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
