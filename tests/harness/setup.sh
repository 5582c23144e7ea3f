#!/usr/bin/env bash
# Prepares a test run: its own Xvfb display, its own Wine prefix (made once and
# reused), and one persistent wineserver for the whole run.
#   setup.sh <folder> [locale]
# With a locale (such as ja_JP.UTF-8, whose ANSI code page under Wine is 932)
# every program of the run runs in it; the locale is built into the folder
# with localedef, so the machine needs only its sources (Debian: locales).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1"
if [ -n "${2:-}" ]; then
  if [ ! -d "$1/locale/$2" ]; then
    mkdir -p "$1/locale"
    localedef -i "${2%%.*}" -f "${2#*.}" "$1/locale/$2" >"$1/localedef.log" 2>&1 ||
      { echo "harness: localedef could not build $2 (see $1/localedef.log)" >&2; exit 1; }
  fi
  echo "$2" >"$1/lc_all"
fi
source "$here/wine-env.sh" "$1"

# Leftovers of an interrupted run.
bash "$here/teardown.sh" "$env_dir" >/dev/null 2>&1 || true
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"

# Xvfb picks a free display number and writes it to fd 3.
rm -f "$env_dir/display" "$env_dir/display.tmp"
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
  </dev/null >"$env_dir/xvfb.log" 2>&1 3>"$env_dir/display.tmp" &
echo $! >"$env_dir/xvfb.pid"
for _ in $(seq 1 100); do
  [ -s "$env_dir/display.tmp" ] && break
  sleep 0.1
done
if [ ! -s "$env_dir/display.tmp" ]; then
  echo "harness: Xvfb did not start (see $env_dir/xvfb.log)" >&2
  exit 1
fi
echo ":$(tr -d '[:space:]' <"$env_dir/display.tmp")" >"$env_dir/display"
rm -f "$env_dir/display.tmp"
export DISPLAY="$(cat "$env_dir/display")"

ready="$WINEPREFIX/.vantorel-ready-2"
if [ ! -f "$ready" ]; then
  echo "harness: creating the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  wineboot -i </dev/null >"$env_dir/wineboot.log" 2>&1 || { echo "harness: wineboot failed (see $env_dir/wineboot.log)" >&2; exit 1; }
  # A crashing test program must end, not wait in the crash debugger until
  # CTest's timeout.
  for view in 32 64; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f /reg:$view \
      </dev/null >>"$env_dir/wineboot.log" 2>&1 || true
  done
  wineserver -w
  touch "$ready"
fi
# With no window manager on the private display, Wine draws the title bars
# itself only when told to; else a click on a caption button reaches nothing.
wine reg add 'HKCU\Software\Wine\AppDefaults\app_tests.exe\X11 Driver' /v Decorated /d N /f \
  </dev/null >>"$env_dir/wineboot.log" 2>&1 || true
# Also into a prefix made before the fonts were copied.
bash "$here/../../scripts/wine-fonts.sh" "$WINEPREFIX"

# A persistent server must not inherit CTest's pipes, or CTest waits for it.
setsid wineserver -p </dev/null >"$env_dir/wineserver.log" 2>&1 &
for _ in $(seq 1 50); do
  pgrep -f "wineserver -p" >/dev/null && break
  sleep 0.1
done
echo "harness: prefix $WINEPREFIX, HOME $HOME, DISPLAY $DISPLAY"
