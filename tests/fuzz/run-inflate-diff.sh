#!/usr/bin/env bash
# Builds the inflate differential test natively with zlib as the oracle and
# runs it: tests/fuzz/run-inflate-diff.sh [rounds], then over every kept
# fuzzing input and test file. Fails on any stream on which our inflate and
# zlib disagree. Needs g++ and zlib1g-dev.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${VANTOREL_FUZZ_BUILD:-$root/build-fuzz}
mkdir -p "$out"
g++ -std=c++17 -O2 -I"$root/src" -I"$here" -I"$root/tests/skin_file" "$here/InflateDiff.cpp" \
  "$root/src/skin/file/ByteStream.cpp" "$root/src/skin/file/ZipInflate.cpp" -lz -o "$out/inflate_diff"
"$out/inflate_diff" "${1:-20000}" "$here"/corpus/* "$here"/crashes/* "$root"/tests/skin_file/data/*
