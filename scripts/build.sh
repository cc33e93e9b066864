#!/usr/bin/env bash
# Configures and builds the project into build/ (or $ORV_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ORV_BUILD_DIR:-build}
gen=()
command -v ninja >/dev/null && [ ! -f "$build/Makefile" ] && gen=(-G Ninja)
cmake -S . -B "$build" "${gen[@]}" -DCMAKE_BUILD_TYPE=${ORV_BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
