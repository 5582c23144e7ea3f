#!/usr/bin/env bash
# Runs the restore benchmark on one CPU: bench/restore/run.sh <build folder> [megabytes...]
exec bash "$(dirname "$0")/../run-on-one-cpu.sh" restore_bench.exe "$@"
