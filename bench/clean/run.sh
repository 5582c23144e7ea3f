#!/usr/bin/env bash
# Runs the clean benchmark in its own throw-away Wine prefix inside the build
# folder: bench/clean/run.sh <build folder> [file counts...]
# BENCH_EXE names another benchmark of the build's bench folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
harness=$here/../../tests/harness
build=$(cd "${1:?build folder}" && pwd)
shift
env_dir=$build/bench-env-clean
bash "$harness/setup.sh" "$env_dir" >/dev/null
trap 'bash "$harness/teardown.sh" "$env_dir" >/dev/null 2>&1' EXIT
bash "$harness/wine-run.sh" "$env_dir" "$build/bench/${BENCH_EXE:-clean_bench.exe}" "$@"
