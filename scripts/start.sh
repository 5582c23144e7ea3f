#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vantorel under Wine. Without a
# display it starts one with Xvfb. Arguments are passed to the program.
#
# The program runs in a Wine prefix of its own, never in ~/.wine: a clean
# empties the prefix's Temp folder and removes empty registry keys, which must
# not happen to the prefix of the user's other Windows programs. The prefix is
# ~/.local/share/vantorel/wine (under $XDG_DATA_HOME when that is set), made on
# the first start; WINEPREFIX chooses another.
#
# The first start also builds the program (only the program: no tests, no
# benchmarks), which takes some minutes; later starts rebuild only what changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" start
build=${VANTOREL_BUILD:-$root/build}
exe="$build/bin/Vantorel.exe"
# The program's file as the build left it: a relink makes a new one.
program() { stat -c '%i %y %s' "$exe" 2>/dev/null || true; }
before=$(program)
[ -n "$before" ] ||
  echo "start: building the program first (about a minute on 8 cores, 4 on one; later starts are quick)"
# The build's own lines only when it fails; a start with nothing to build is
# quiet, and the first build has said its own line.
log=$(mktemp)
if ! bash "$root/scripts/build.sh" -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  echo "start: the build failed" >&2
  exit 1
fi
rm -f "$log"
if [ -n "$before" ] && [ "$(program)" != "$before" ]; then echo "start: rebuilt what changed"; fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/vantorel/wine}
if [ ! -d "$WINEPREFIX" ]; then
  echo "start: making the Wine prefix $WINEPREFIX (first start, takes a minute)"
  mkdir -p "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1 || { echo "start: wineboot failed in $WINEPREFIX" >&2; exit 1; }
  wineserver -w
fi
# Marlett, Tahoma and MS Sans Serif from fonts-wine, also into an older prefix.
bash "$root/scripts/wine-fonts.sh" "$WINEPREFIX"
echo "start: Wine prefix $WINEPREFIX"
if [ -z "${DISPLAY:-}" ]; then
  echo "start: no DISPLAY; running in a Wine desktop on a virtual Xvfb screen"
  # The screen stays until Wine's last process of the prefix has ended, so
  # that none of them loses its X connection on a normal close. Inside Wine's
  # own desktop: with no window manager, Wine waits 2 s for one on every
  # window it hides, and a closed dialog stayed on the screen meanwhile.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
    'wine explorer /desktop=Vantorel,1280x1024 "$0" "$@"; code=$?; wineserver -w; exit $code' "$exe" "$@"
fi
exec wine "$exe" "$@"
