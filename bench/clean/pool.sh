#!/usr/bin/env bash
# A pool of generated trees for timing one delete per process from outside,
# in the clean benchmark's throw-away Wine prefix inside the build folder.
#   bench/clean/pool.sh <build folder> fill FILES TREES   starts the prefix's
#       server and makes TREES trees of FILES files of 100 bytes (100 to a
#       folder, folders two deep, as clean_bench makes them)
#   bench/clean/pool.sh <build folder> clean|bare|none    one process that
#       empties the first tree left with a clean run or the bare loop
#       ("none": start and exit only); pair clean against bare in a timer;
#       CLEAN_BENCH_EXE names another build of clean_bench.exe to run
#   bench/clean/pool.sh <build folder> del                one process of the
#       system's own delete over the first tree left (cmd /c del /f /s /q, then
#       rd /q /s of the folders it leaves, so that both leave the same state):
#       the yardstick to pair a clean with
#   POOL_TMPFS=1 with fill keeps the trees on /dev/shm, the pool folder a link there
#   bench/clean/pool.sh <build folder> stop               removes what is left
#       and stops the prefix's server
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
harness=$here/../../tests/harness
build=$(cd "${1:?build folder}" && pwd)
env_dir=$build/bench-env-clean
pool_dir=$env_dir/prefix/drive_c/vantorel-bench-pool
case "${2:?fill, clean, bare, del, none or stop}" in
  fill)
    bash "$harness/setup.sh" "$env_dir" >/dev/null
    rm -rf "$pool_dir" /dev/shm/vantorel-bench-pool
    if [ -n "${POOL_TMPFS:-}" ]; then
      mkdir -p /dev/shm/vantorel-bench-pool
      ln -s /dev/shm/vantorel-bench-pool "$pool_dir"
    fi
    python3 - "$pool_dir" "${3:?files}" "${4:?trees}" <<'PY'
import os, sys
pool, files, trees = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
content = b"x" * 100
os.makedirs(pool, exist_ok=True)
for t in range(trees):
    for f in range((files + 99) // 100):
        folder = os.path.join(pool, "t%03d" % t, "g%d" % (f // 10), "d%d" % f)
        os.makedirs(folder)
        for i in range(min(100, files - f * 100)):
            with open(os.path.join(folder, "file%d.tmp" % i), "wb") as out:
                out.write(content)
PY
    ;;
  clean | bare | none)
    exec bash "$harness/wine-run.sh" "$env_dir" "${CLEAN_BENCH_EXE:-$build/bench/clean_bench.exe}" pool "$2" 'C:\vantorel-bench-pool'
    ;;
  del)
    tree=$(ls "$pool_dir/" | head -n 1)
    [ -n "$tree" ] || { echo "no tree left in the pool" >&2; exit 2; }
    t='C:\vantorel-bench-pool\'$tree
    exec bash "$harness/wine-run.sh" "$env_dir" cmd /c "del /f /s /q $t\* >NUL && rd /q /s $t"
    ;;
  stop)
    rm -rf "$pool_dir" /dev/shm/vantorel-bench-pool
    bash "$harness/teardown.sh" "$env_dir" >/dev/null 2>&1
    ;;
  *)
    echo "pool.sh: fill, clean, bare, del, none or stop" >&2
    exit 2
    ;;
esac
