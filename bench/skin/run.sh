#!/usr/bin/env bash
# Builds the skin-file benchmark natively at -O2 with zlib beside our inflate
# and runs it: bench/skin/run.sh [sizes in KB...]
# bench/skin/run.sh --write FOLDER [sizes] writes the shared-picture shape,
# raw (.sk2) and archived (.skn); time one load of each as a whole process
# with: farm-bench -- build-bench-native/skin_bench --load FILE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${VANTOREL_BENCH_BUILD:-$root/build-bench-native}
mkdir -p "$out"
src="$root/src/skin/file"
g++ -std=c++17 -O2 -DVANTOREL_BENCH_ZLIB -I"$root/src" -I"$root/tests/skin_file" -I"$root/tests/fuzz" \
  "$here/SkinBench.cpp" "$src/ByteStream.cpp" "$src/SkinBitmap.cpp" "$src/SkinRecords.cpp" \
  "$src/ZipArchive.cpp" "$src/ZipCrypt.cpp" "$src/ZipInflate.cpp" -lz -o "$out/skin_bench"
"$out/skin_bench" "$@"
