#!/bin/bash
# Builds the index.dat parser and the viewer's rows natively with libFuzzer
# and the address and undefined-behaviour sanitizers, and runs them over the
# kept corpus and the crafted shapes of the benchmark.
# Usage: fuzz.sh [seconds]   (default 600). Run by hand, never in CTest.
# Needs clang and libclang-rt-14-dev (Debian). A crash leaves its input in
# $FUZZ_OUT/crashes. Inputs that add coverage are merged into corpus/ at the
# end; commit them: the test run replays all of corpus/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tests=$(cd "$here/../.." && pwd)
src=$(cd "$tests/../src" && pwd)
out=${FUZZ_OUT:-/tmp/vantorel-fuzz-indexdat}
seconds=${1:-600}
rm -rf "$out/seeds" "$out/new"
mkdir -p "$out/work" "$out/seeds" "$out/new" "$out/crashes"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$src" -I"$tests" "$here/FuzzIndexDat.cpp" "$src/cleaner/indexdat/IndexDat.cpp" \
  "$src/cleaner/indexdat/IndexDatRows.cpp" -o "$out/fuzz-indexdat"
clang++ -std=c++17 -O1 -I"$tests" "$here/WriteShapeSeeds.cpp" -o "$out/write-shape-seeds"
"$out/write-shape-seeds" "$out/seeds"
cd "$out"
# A small quarantine keeps the sanitizer's own memory out of the RSS limit.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}
# Inputs up to 1 MB from the start (no slow growth of the length); a crafted
# file of 1 MB parses in well under a second, so five seconds or
# 512 MB for one input is a fault, not a slow machine.
./fuzz-indexdat -max_total_time="$seconds" -max_len=1048576 -len_control=0 -timeout=5 -rss_limit_mb=512 \
  -artifact_prefix="$out/crashes/" -print_final_stats=1 work "$here/corpus" seeds
./fuzz-indexdat -merge=1 -max_len=1048576 -timeout=5 -rss_limit_mb=512 new "$here/corpus" work >/dev/null 2>&1
# Only small finds are kept in the repository; the shapes are written afresh each run.
find new -type f -size -65k -exec cp -n {} "$here/corpus/" \;
echo "corpus: $(ls "$here/corpus" | wc -l) files; crashes: $(ls "$out/crashes" | wc -l)"
