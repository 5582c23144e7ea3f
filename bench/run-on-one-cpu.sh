#!/usr/bin/env bash
# Runs a registry benchmark in its own throw-away Wine prefix inside the build
# folder: bench/run-on-one-cpu.sh <program> <build folder> [arguments...]
# The program and its wineserver share one CPU: every registry call is a round
# trip to the server, and its cost otherwise depends on where the scheduler
# happens to put the two processes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
harness=$here/../tests/harness
program=${1:?program}
build=$(cd "${2:?build folder}" && pwd)
shift 2
env_dir=$build/bench-env
pin=()
if command -v taskset >/dev/null; then pin=(taskset -c "${BENCH_CPU:-0}"); fi
"${pin[@]}" bash "$harness/setup.sh" "$env_dir" >/dev/null
trap 'bash "$harness/teardown.sh" "$env_dir" >/dev/null 2>&1' EXIT
"${pin[@]}" bash "$harness/wine-run.sh" "$env_dir" "$build/bench/$program" "$@"
