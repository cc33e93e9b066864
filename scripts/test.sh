#!/usr/bin/env bash
# Installs, builds and runs every test: first on SQLite, then on PostgreSQL
# (a throwaway cluster on 127.0.0.1, stopped whatever the result).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build=${ORV_BUILD_DIR:-build}
jobs=$(nproc)

pgdir=$(mktemp -d /tmp/orv-pg.XXXXXX)
trap 'bash scripts/pg-cluster.sh stop "$pgdir"' EXIT
port=$(bash scripts/pg-cluster.sh start "$pgdir")
export ORV_TEST_PG_HOST="127.0.0.1:$port" ORV_TEST_PG_USER=postgres ORV_TEST_PG_PASSWORD=

status=0
echo "== SQLite and database-free tests"
ctest --test-dir "$build" -LE pg --output-on-failure -j "$jobs" || status=1
echo "== PostgreSQL tests"
ctest --test-dir "$build" -L pg --output-on-failure -j "$jobs" || status=1
exit $status
