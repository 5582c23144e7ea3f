#!/usr/bin/env bash
# Which functions of the skin-file parsers the kept corpus reaches: builds
# the fuzzing entry natively with clang's source coverage, replays corpus/
# and crashes/ once, and prints the per-function report.
# tests/fuzz/skin-coverage.sh [--all]   (--all: every function, not only those missed)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${VANTOREL_FUZZ_BUILD:-$root/build-fuzz}/coverage
rm -rf "$out" && mkdir -p "$out"
src="$root/src/skin/file"
files=("$src/ByteStream.cpp" "$src/SkinBitmap.cpp" "$src/SkinRecords.cpp" "$src/ZipArchive.cpp" "$src/ZipCrypt.cpp"
  "$src/ZipInflate.cpp")
clang++ -std=c++17 -O1 -fsanitize=fuzzer -fprofile-instr-generate -fcoverage-mapping \
  -DVANTOREL_LIBFUZZER -DVANTOREL_ZLIB_ORACLE -I"$root/src" -I"$here" "$here/SkinFileFuzz.cpp" "${files[@]}" -lz \
  -o "$out/skin_file_cov"
LLVM_PROFILE_FILE="$out/replay.profraw" "$out/skin_file_cov" -runs=0 "$here/corpus" "$here/crashes" >/dev/null 2>&1
llvm-profdata merge -sparse "$out/replay.profraw" -o "$out/replay.profdata"
llvm-cov report "$out/skin_file_cov" -instr-profile="$out/replay.profdata" "${files[@]}"
echo
echo "Functions the corpus never calls:"
llvm-cov report --show-functions "$out/skin_file_cov" -instr-profile="$out/replay.profdata" "${files[@]}" |
  awk 'NF > 8 && $4 == "0.00%" {print $1}' | sed 's/^[^:]*://' | c++filt | sed 's/^/  /'
if [ "${1:-}" = "--all" ]; then
  llvm-cov report --show-functions "$out/skin_file_cov" -instr-profile="$out/replay.profdata" "${files[@]}"
fi
