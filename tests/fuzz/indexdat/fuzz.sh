#!/bin/bash
# Builds the index.dat parser natively with libFuzzer and the address and
# undefined-behaviour sanitizers, and runs it over a copy of the corpus.
# Usage: fuzz.sh [seconds]   (default 600). Run by hand, never in CTest.
# Needs clang and libclang-rt-14-dev (Debian). The corpus holds the seeds of
# make_corpus.py and a merged set of what earlier runs found; the test run
# replays all of it. To add a run's finds:
#   fuzz-indexdat -merge=1 -max_len=2048 <new> corpus <work>, then copy <new> in.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../../../src" && pwd)
out=${FUZZ_OUT:-/tmp/vantorel-fuzz-indexdat}
seconds=${1:-600}
mkdir -p "$out/work"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$src" "$here/FuzzIndexDat.cpp" "$src/cleaner/indexdat/IndexDat.cpp" -o "$out/fuzz-indexdat"
cp -n "$here"/corpus/* "$out/work/" 2>/dev/null || true
cd "$out"
./fuzz-indexdat -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 work
