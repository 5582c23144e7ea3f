#!/usr/bin/env bash
# Runs the fix benchmark in its own throw-away Wine prefix inside the build
# folder: bench/fix/run.sh <build folder> [values]
# Pinned to one CPU for the same reason as the scan benchmark: every registry
# call is a round trip to the wineserver.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
harness=$here/../../tests/harness
build=$(cd "${1:?build folder}" && pwd)
shift
env_dir=$build/bench-env
pin=()
if command -v taskset >/dev/null; then pin=(taskset -c "${BENCH_CPU:-0}"); fi
"${pin[@]}" bash "$harness/setup.sh" "$env_dir" >/dev/null
trap 'bash "$harness/teardown.sh" "$env_dir" >/dev/null 2>&1' EXIT
"${pin[@]}" bash "$harness/wine-run.sh" "$env_dir" "$build/bench/fix_bench.exe" "$@"
