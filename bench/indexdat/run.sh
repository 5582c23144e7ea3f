#!/usr/bin/env bash
# Builds the index.dat benchmark natively at -O2 and runs it:
#   bench/indexdat/run.sh [output folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:-/tmp/vantorel-bench-indexdat}
mkdir -p "$out"
g++ -std=c++17 -O2 -I"$root/src" -I"$root/tests" "$here/IndexDatBench.cpp" \
  "$root/src/cleaner/indexdat/IndexDat.cpp" "$root/src/cleaner/indexdat/IndexDatRows.cpp" -o "$out/indexdat_bench"
/usr/bin/time -f "whole run: %e s, peak resident %M KB" "$out/indexdat_bench"
