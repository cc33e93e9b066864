#!/usr/bin/env bash
# Builds the fuzzers (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in their own build folder and runs one for a
# bounded time on a seed corpus our code makes, with inputs up to 1 MB.
#   scripts/fuzz.sh [seconds] [template|prepared]     default 120 seconds, the template reader
# ("prepared" fuzzes the prepared-report reader, .frp).
# Inputs that crash land in <build>/fuzz-artifacts; copy them to
# tests/report/engine/data/fuzz/<template|prepared>/ so tst_fuzzregress replays them
# (in the plain and the sanitizer test runs).
set -euo pipefail

seconds=${1:-120}
target=${2:-template}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORV_FUZZ_BUILD_DIR:-$root/build-fuzz}

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DORV_BUILD_FUZZ=ON -DORV_BUILD_TESTS=OFF -DORV_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "fuzz_$target" -j4

corpus=$build/fuzz-corpus/$target
artifacts=$build/fuzz-artifacts
mkdir -p "$corpus" "$artifacts"
# Earlier findings start the run too.
if compgen -G "$root/tests/report/engine/data/fuzz/$target/*" >/dev/null; then
  cp -n "$root"/tests/report/engine/data/fuzz/"$target"/* "$corpus"/
fi

export QT_QPA_PLATFORM=offscreen
# Font caches of the system libraries are not ours to free.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
ORV_FUZZ_WRITE_SEEDS="$corpus" "$build/fuzz/fuzz_$target" -runs=0 "$corpus" >/dev/null 2>&1
exec "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=1048576 -len_control=0 -timeout=30 -rss_limit_mb=2048 \
  -artifact_prefix="$artifacts/" "$corpus"
