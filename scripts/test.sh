#!/usr/bin/env bash
# Installs, builds and runs every test under AddressSanitizer and UndefinedBehaviorSanitizer, on
# SQLite and on PostgreSQL (a throwaway cluster on 127.0.0.1, stopped whatever the result).
# One build serves both: the tests run unoptimised with line tables only, which keeps a small
# machine's build short; the benchmarks are built too, to be run from the plain build (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${ORV_TEST_BUILD_DIR:-build-test}
ORV_BUILD_DIR="$build" ORV_BUILD_TYPE=Debug bash scripts/build.sh -DORV_SANITIZE=ON \
  "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1" "-DCMAKE_C_FLAGS_DEBUG=-O0 -g1"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

pgdir=$(mktemp -d /tmp/orv-pg.XXXXXX)
trap 'bash scripts/pg-cluster.sh stop "$pgdir"' EXIT
port=$(bash scripts/pg-cluster.sh start "$pgdir")
export ORV_TEST_PG_HOST="127.0.0.1:$port" ORV_TEST_PG_USER=postgres ORV_TEST_PG_PASSWORD=

# One run for both databases, so the slow tests of either keep every core busy.
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
