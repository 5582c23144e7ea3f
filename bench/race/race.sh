#!/usr/bin/env bash
# Races the real program, run unattended under Wine, against a program of
# the user that swaps a name the program uses between the real thing and a
# link, in a loop on the Linux side, and counts the runs that went wrong.
# Runs in its own throw-away Wine prefix inside the build folder; never part
# of the test run, never a real home.
#   bench/race/race.sh <build folder> ROAD RUNS [Vantorel.exe]
# Roads ("/Clear" runs unless said; what each counts is said in its file):
#   settings  the settings folder swapped with a link to a folder below
#             system32 (folders.sh)
#   hive      a hive's folder swapped so, during "/Regdefrag" runs (folders.sh)
#   options   options.ini swapped with a link to an outside file (options.sh)
#   database  the Firefox history step on a default profile's places.sqlite,
#   wipe      "Windows - Temporary Files" with wiping on, one file,
#   indexdat  "Internet Explorer - Index.dat Files", the cookies' index.dat:
#             each swapped with a link to an outside file (files.sh)
# The program defaults to the build's own; give another build's to compare.
# RACE_CALM=1 runs without the swapping program: a check of the set-up (the
# run must then do its own work every time and nothing else). RACE_PAUSE=s
# waits s seconds after each swap (0 by default): a slower swap lets more
# runs get past their first look and meet the swap later on.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
harness=$here/../../tests/harness
build=$(cd "${1:?build folder}" && pwd)
road=${2:?road}
runs=${3:?runs}
exe=${4:-$build/bin/Vantorel.exe}
env_dir=$build/bench-env-race
bash "$harness/setup.sh" "$env_dir" >/dev/null
source "$harness/wine-env.sh" "$env_dir"
race=$WINEPREFIX/drive_c/vantorel-race
swapper_pid=
cleanup() {
  [ -z "$swapper_pid" ] || kill "$swapper_pid" 2>/dev/null || true
  declare -F road_cleanup >/dev/null && road_cleanup
  rm -rf "$race"
  bash "$harness/teardown.sh" "$env_dir" >/dev/null 2>&1
}
trap cleanup EXIT

unix_of() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
win_var() { wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r\n'; }
appdata=$(unix_of "$(win_var APPDATA)")
local_appdata=$(unix_of "$(win_var LOCALAPPDATA)")
temp=$(unix_of "$(win_var TEMP)")
system32=$WINEPREFIX/drive_c/windows/system32
settings=$appdata/Vantorel
ini=$settings/options.ini

rm -rf "$race"
mkdir -p "$race/outside" "$race/spare" "$race/template"

# options.ini with only the item `$1` ticked (wiping when `$2` is 1), no
# registry section, and the line `$3` to tell it by.
write_options() {
  {
    printf '[Options]\r\nIsWipeFile=%s\r\nWipeNumber=1\r\n' "$2"
    printf '[NodeSelected]\r\nSelectedCount=1\r\n1=%s\r\n[TreeViewNodeCheck]\r\n' "$1"
    for i in $(seq 1 25); do printf '%s=0\r\n' "$i"; done
    printf '[RaceMarker]\r\n%s\r\n' "$3"
  } >"$4"
}

# A folder's names with a checksum of each file, one a line.
snapshot() { (cd "$1" && find . -mindepth 1 -printf '%P ' -exec sh -c '[ -f "$0" ] && sha1sum <"$0" || echo dir' {} \;) | sort; }

# Swaps two names in one step (renameat2 with RENAME_EXCHANGE) until told to
# stop, RACE_PAUSE seconds apart; the names are as they were when it ends.
swap_loop() {
  exec python3 - "$1" "$2" "${RACE_PAUSE:-0}" <<'PY'
import ctypes, signal, sys, time
libc = ctypes.CDLL(None, use_errno=True)
a, b = sys.argv[1].encode(), sys.argv[2].encode()
pause = float(sys.argv[3])
stop = False
def on_term(*_):
    global stop
    stop = True
signal.signal(signal.SIGTERM, on_term)
swapped = False
while not stop:
    if libc.renameat2(-100, a, -100, b, 2) == 0:
        swapped = not swapped
    if pause:
        time.sleep(pause)
if swapped:
    libc.renameat2(-100, a, -100, b, 2)
PY
}

# Each road file defines road_setup (once), road_reset (before each run; it
# sets swap_a and swap_b, the two names swapped, and args, the program's
# switch), road_judge (after each run, with the exit code in $code) and
# road_report.
case "$road" in
  settings | hive) source "$here/folders.sh" ;;
  options) source "$here/options.sh" ;;
  database | wipe | indexdat) source "$here/files.sh" ;;
  *) echo "race.sh: settings, hive, options, database, wipe or indexdat" >&2; exit 2 ;;
esac

road_setup
for run in $(seq 1 "$runs"); do
  road_reset
  if [ -z "${RACE_CALM:-}" ]; then
    swap_loop "$swap_a" "$swap_b" &
    swapper_pid=$!
  fi
  code=0
  timeout 180 wine "$exe" $args </dev/null >/dev/null 2>&1 || code=$?
  if [ -n "$swapper_pid" ]; then
    kill "$swapper_pid" 2>/dev/null || true
    wait "$swapper_pid" 2>/dev/null || true
    swapper_pid=
  fi
  road_judge
done
road_report
echo "($runs runs of $exe$([ -n "${RACE_CALM:-}" ] && echo ', calm')$([ -n "${RACE_PAUSE:-}" ] && echo ", $RACE_PAUSE s between swaps"))"
