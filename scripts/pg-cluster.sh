#!/usr/bin/env bash
# Starts or stops a throwaway PostgreSQL cluster on 127.0.0.1 for the tests.
#   pg-cluster.sh start DIR   -> prints "PORT"
#   pg-cluster.sh stop DIR
# The cluster skips the disk flushes (fsync off) unless ORV_PG_FSYNC=on: a server's durability,
# for benchmarks that measure what a save costs on a real server.
# PostgreSQL refuses to run as root, so the cluster runs as the postgres user.
set -euo pipefail
cmd=$1; dir=$2
bindir=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_pg() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
case "$cmd" in
  start)
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres:postgres "$dir"
    durable=${ORV_PG_FSYNC:-off}
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()')
    as_pg "$bindir/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1
    as_pg "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-c listen_addresses=127.0.0.1 -c port=$port -c unix_socket_directories=$dir -c fsync=$durable -c synchronous_commit=$durable -c full_page_writes=$durable -c max_connections=200" \
      start >/dev/null
    echo "$port"
    ;;
  stop)
    if [ -d "$dir/data" ]; then
      as_pg "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
  *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
