#!/usr/bin/env bash
# Runs the scan benchmark on one CPU: bench/scan/run.sh <build folder> [key counts...]
exec bash "$(dirname "$0")/../run-on-one-cpu.sh" scan_bench.exe "$@"
