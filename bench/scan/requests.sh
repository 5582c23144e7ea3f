#!/usr/bin/env bash
# Counts the Wine server requests of the HKEY_CURRENT_USER section's scan, per
# key of a tree with no problems and per row of a tree with a row in every
# key: one scan of each tree at SMALL and at LARGE keys, each in its own
# process under a wineserver that traces requests. The scan thread is the one
# that lists most values (Wine's own processes open more keys); its requests at LARGE less those at SMALL, over the
# keys between, are what one more key costs. A row costs what a key of the
# second tree costs more than a key of the first.
#   bench/scan/requests.sh <build folder> [SMALL LARGE]   (default 100 200)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
harness=$here/../../tests/harness
build=$(cd "${1:?build folder}" && pwd)
small=${2:-100}
large=${3:-200}
env_dir=$build/bench-env-requests
exe=$build/bench/scan_bench.exe
bash "$harness/setup.sh" "$env_dir" >/dev/null
trap 'bash "$harness/teardown.sh" "$env_dir" >/dev/null 2>&1' EXIT

# The scan thread's requests (not the replies) in one scan of `tree` at `keys`.
requests() {
  (
    source "$harness/wine-env.sh" "$env_dir"
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w
    log=$(mktemp "$env_dir/requests.XXXXXX.log")
    setsid wineserver -f -d1 -p >"$log" 2>&1 </dev/null &
    wine "$exe" once "$1" "$2" >/dev/null 2>&1 </dev/null
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w
    grep -E '^[0-9a-f]{4}: [a-z_]+\(' "$log" | grep -v ') = ' |
      awk '{ n[$1]++; if ($2 ~ /^enum_key_value\(/) lists[$1]++ }
           END { for (t in lists) if (lists[t] > most) { most = lists[t]; busiest = t }
                 print n[busiest] }'
    rm -f "$log"
  )
}

for tree in clean rows; do
  a=$(requests "$small" "$tree")
  b=$(requests "$large" "$tree")
  per=$(awk -v a="$a" -v b="$b" -v s="$small" -v l="$large" 'BEGIN { printf "%.2f", (b - a) / (l - s) }')
  echo "$tree: $small keys $a requests, $large keys $b requests, $per per key"
  eval "per_$tree=$per"
done
awk -v c="$per_clean" -v r="$per_rows" 'BEGIN { printf "per row: %.2f\n", r - c }'
