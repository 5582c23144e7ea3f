#!/usr/bin/env bash
# Runs the per-step benchmark in its own throw-away Wine prefix inside the
# build folder: bench/clean/step.sh <build folder> [files]
exec env BENCH_EXE=step_bench.exe bash "$(dirname "$0")/run.sh" "$@"
