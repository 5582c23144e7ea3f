#!/usr/bin/env bash
# Runs one Windows program of the test run under Wine, inside the run's prefix.
# Wine's own background processes (services, the desktop window) start with
# the first program and outlive it; they must inherit a file, never CTest's
# pipe, or CTest waits for them forever. So output goes through a file.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh" "$1"
shift
out=$(mktemp "$env_dir/run.XXXXXX.log")
wine "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
