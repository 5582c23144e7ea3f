#!/usr/bin/env bash
# Installs what is missing, builds (the benchmarks too), and runs every test
# under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" test
bash "$root/scripts/build.sh" -DVANTOREL_TESTS=ON -DVANTOREL_BENCH=ON
build=${VANTOREL_BUILD:-$root/build}
cd "$build"
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" "$@"
