#!/usr/bin/env bash
# Runs one Windows program of the test run under Wine, inside the run's prefix.
# Wine's own background processes (services, the desktop window) start with
# the first program and outlive it; they must inherit a file, never CTest's
# pipe, or CTest waits for them forever. So output goes through a file.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh" "$1"
shift
out=$(mktemp "$env_dir/run.XXXXXX.log")
# A test program makes this file as it starts and removes it only when every
# test has run: a program that ends early with code 0 must not pass.
marker="$out.running"
export TEST_PREMATURE_EXIT_FILE="Z:$marker"
wine "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
if [ -e "$marker" ]; then
  echo "harness: the program ended before all its tests had run (exit code $rc)" >&2
  [ "$rc" -ne 0 ] || rc=1
fi
rm -f "$out" "$marker"
exit $rc
