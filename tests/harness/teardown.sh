#!/usr/bin/env bash
# Ends a test run: stops its wineserver and its Xvfb.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh" "$1"
if [ -d "$WINEPREFIX" ]; then
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
fi
if [ -f "$env_dir/xvfb.pid" ]; then
  pid=$(cat "$env_dir/xvfb.pid")
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  rm -f "$env_dir/xvfb.pid"
fi
rm -f "$env_dir/display"
exit 0
