#!/usr/bin/env bash
# Fuzzes the skin-file parsers (archive, inflate, records, bitmaps) natively
# with libFuzzer and the address and undefined-behaviour sanitizers.
# Run by hand, never from CTest:  tests/fuzz/run-skin-fuzz.sh [seconds]
# Inputs up to 256 KB, 10 s and 512 MB each: a slow or greedy input is a find,
# and so is a result that fails the checks of SkinFileFuzz.cpp. The largest
# skin the program accepts (a 64 KB archive of a 64 MB entry with 62.5 MB of
# pictures, kept in corpus/) takes some 4 s and 200 MB here, so both limits
# hold for every input the program accepts.
# New inputs that add coverage are merged into corpus/; a crash leaves its
# reproducer in crashes/. Commit both: the test run replays them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-60}
out=${VANTOREL_FUZZ_BUILD:-$root/build-fuzz}
mkdir -p "$out/found" "$here/corpus" "$here/crashes"

src="$root/src/skin/file"
# zlib judges every input as a raw deflate stream: our inflate must accept
# and refuse what it does, with the same bytes.
# The checksum's byte loop and the standard library's accessors are not
# traced: nothing there for the fuzzer to steer by, and they ran a third of
# the time of a large entry.
printf 'fun:*Crc32Update*\nsrc:/usr/include/*\n' >"$out/not-traced.txt"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -fsanitize-coverage-ignorelist="$out/not-traced.txt" -DVANTOREL_LIBFUZZER -DVANTOREL_ZLIB_ORACLE -I"$root/src" -I"$here" \
  "$here/SkinFileFuzz.cpp" "$src/ByteStream.cpp" "$src/SkinBitmap.cpp" "$src/SkinRecords.cpp" \
  "$src/ZipArchive.cpp" "$src/ZipCrypt.cpp" "$src/ZipInflate.cpp" -lz -o "$out/skin_file_fuzz"

# Seeds: the kept corpus and the small test archives and streams.
seeds="$out/seeds"
rm -rf "$seeds" && mkdir -p "$seeds"
find "$root/tests/skin_file/data" -type f -size -256k -exec cp {} "$seeds/" \;

# A small quarantine keeps the sanitizer's own memory out of the RSS limit,
# whatever else the caller's ASAN_OPTIONS set; a quarantine size of their own
# comes later and wins.
export ASAN_OPTIONS=quarantine_size_mb=16${ASAN_OPTIONS:+:$ASAN_OPTIONS}
"$out/skin_file_fuzz" -max_total_time="$seconds" -max_len=262144 -timeout=10 -rss_limit_mb=512 \
  -artifact_prefix="$here/crashes/" "$out/found" "$here/corpus" "$seeds"

# Keep a minimal corpus that covers what everything found covers.
merged="$out/merged"
rm -rf "$merged" && mkdir -p "$merged"
"$out/skin_file_fuzz" -merge=1 "$merged" "$here/corpus" "$out/found" "$seeds" >/dev/null 2>&1
rm -f "$here/corpus"/*
cp "$merged"/* "$here/corpus/"
# The largest accepted shape stays, whatever the merge judged of its coverage.
python3 "$here/make_skin_seeds.py" --largest >/dev/null
echo "corpus: $(ls "$here/corpus" | wc -l) files; crashes: $(ls "$here/crashes" | wc -l)"
