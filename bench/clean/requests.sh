#!/usr/bin/env bash
# Counts the Wine server requests of a clean, per file: one clean of a pool
# tree of SMALL files and one of LARGE files (pool.sh makes them), each in its
# own process under WINEDEBUG=+server. The thread that deletes is the one
# that opens most files; its requests in the larger run less those in the
# smaller, over the files between, are what one more file costs. The whole
# process's count is shown too (other threads make it vary by a few hundred).
#   bench/clean/requests.sh <build folder> [SMALL LARGE]   (default 1000 2000)
# CLEAN_BENCH_EXE names another build of clean_bench.exe, as with pool.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
small=${2:-1000}
large=${3:-2000}
env_dir=$build/bench-env-clean
exe=${CLEAN_BENCH_EXE:-$build/bench/clean_bench.exe}
trap 'bash "$here/pool.sh" "$build" stop' EXIT

# "<requests of the deleting thread> <requests of the process>"; requests
# only: "0024: create_file( ... )", not the replies "0024: create_file() = 0 ...".
requests() {
  bash "$here/pool.sh" "$build" fill "$1" 1 >/dev/null
  (
    source "$here/../../tests/harness/wine-env.sh" "$env_dir"
    export WINEDEBUG=+server
    wine "$exe" pool clean 'C:\vantorel-bench-pool' 2>&1 >/dev/null </dev/null |
      grep -E '^[0-9a-f]{4}: [a-z_]+\(' | grep -v ') = ' |
      awk '{ n[$1]++; all++; if ($2 ~ /^create_file\(/) opens[$1]++ }
           END { for (t in opens) if (opens[t] > most) { most = opens[t]; busiest = t }
                 print n[busiest], all }'
  )
}

read -r a atotal <<<"$(requests "$small")"
read -r b btotal <<<"$(requests "$large")"
echo "deleting thread: $small files $a requests, $large files $b requests"
echo "whole process:   $small files $atotal requests, $large files $btotal requests"
awk -v a="$a" -v b="$b" -v s="$small" -v l="$large" 'BEGIN { printf "per file: %.2f\n", (b - a) / (l - s) }'
