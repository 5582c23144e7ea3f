#!/usr/bin/env bash
# Runs the fix benchmark on one CPU: bench/fix/run.sh <build folder> [values]
exec bash "$(dirname "$0")/../run-on-one-cpu.sh" fix_bench.exe "$@"
