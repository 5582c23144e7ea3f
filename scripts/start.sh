#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vantorel under Wine. Without a
# display it starts one with Xvfb. Arguments are passed to the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" -DVANTOREL_TESTS=OFF
build=${VANTOREL_BUILD:-$root/build}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exe="$build/bin/Vantorel.exe"
if [ -z "${DISPLAY:-}" ]; then
  echo "start: no DISPLAY; running on a virtual Xvfb screen"
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$exe" "$@"
fi
exec wine "$exe" "$@"
