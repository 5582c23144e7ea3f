#!/usr/bin/env bash
# Races a real "/Clear" against a program of the user that swaps the name of
# a file the clean opens for its content between the plain file and a link
# to an outside file, in a loop, and counts the runs after which the outside
# file had changed. Runs in its own throw-away Wine prefix inside the build
# folder; never part of the test run.
#   bench/race/race.sh <build folder> database|wipe|indexdat RUNS [Vantorel.exe]
#     database  the Firefox history step on a default profile's places.sqlite
#     wipe      "Windows - Temporary Files" with wiping on, one file of the
#               temporary folder
#     indexdat  "Internet Explorer - Index.dat Files", the cookies' index.dat
# The program defaults to the build's own; give another build's to compare.
# RACE_CALM=1 runs without the swapping program: the clean must then change
# its own file every time (a check of the set-up).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
harness=$here/../../tests/harness
build=$(cd "${1:?build folder}" && pwd)
scenario=${2:?database, wipe or indexdat}
runs=${3:?runs}
exe=${4:-$build/bin/Vantorel.exe}
env_dir=$build/bench-env-race
bash "$harness/setup.sh" "$env_dir" >/dev/null
source "$harness/wine-env.sh" "$env_dir"
race=$WINEPREFIX/drive_c/vantorel-race
swapper_pid=
cleanup() {
  [ -z "$swapper_pid" ] || kill "$swapper_pid" 2>/dev/null || true
  rm -rf "$race"
  bash "$harness/teardown.sh" "$env_dir" >/dev/null 2>&1
}
trap cleanup EXIT

unix_of() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
win_var() { wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r\n'; }
appdata=$(unix_of "$(win_var APPDATA)")
local_appdata=$(unix_of "$(win_var LOCALAPPDATA)")
temp=$(unix_of "$(win_var TEMP)")

rm -rf "$race"
mkdir -p "$race/outside" "$race/spare" "$race/template"

# The file the clean works on ($target), its outside namesake that must stay
# as it is, and the item that reaches it.
case "$scenario" in
  database)
    caption="Mozilla Firefox - Visited URL History"
    target=$appdata/Mozilla/Firefox/Profiles/race.default/places.sqlite
    python3 - "$race/template/file" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.executescript("""
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR);
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, place_id INTEGER);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, title LONGVARCHAR);
""")
for i in range(1, 200):
    db.execute("INSERT INTO moz_places VALUES (?, ?, 'x', 'x')", (i, "http://site%d.test/" % i))
    db.execute("INSERT INTO moz_historyvisits VALUES (?, ?)", (i, i))
db.commit()
db.close()
PY
    ;;
  wipe)
    caption="Windows - Temporary Files"
    target=$temp/vantorel-race.tmp
    head -c 65536 /dev/urandom >"$race/template/file"
    ;;
  indexdat)
    caption="Internet Explorer - Index.dat Files"
    target=$local_appdata/Microsoft/Windows/INetCookies/index.dat
    python3 - "$race/template/file" <<'PY'
import struct, sys
size = 0x4000
b = bytearray(b"\xee" * size)
sig = b"Client UrlCache MMF Ver 5.2"
b[0:len(sig)] = sig
struct.pack_into("<ii", b, 0x1C, size, 0x100)
b[0x100:0x104] = b"HASH"
struct.pack_into("<ii", b, 0x104, 8, 0)
for e in range(0x120, 0x100 + 8 * 128, 8):
    struct.pack_into("<Bxxxi", b, e, 1, 0)
for i in range(16):
    at = 0x800 + i * 0x200
    struct.pack_into("<Bxxxi", b, 0x120 + i * 8, 0x80, at)
    b[at:at + 4] = b"URL "
    struct.pack_into("<Q", b, at + 16, 0x01D0000012345678)
    b[at + 0x34] = 0x68
    url = b"http://site%d.test/" % i
    b[at + 0x68:at + 0x68 + len(url) + 1] = url + b"\0"
open(sys.argv[1], "wb").write(b)
PY
    ;;
  *) echo "race.sh: database, wipe or indexdat" >&2; exit 2 ;;
esac
mkdir -p "$(dirname "$target")"
outside=$race/outside/$(basename "$target")
spare=$race/spare/$(basename "$target")

# Only the one item, no registry section, wiping as the scenario asks.
ini=$appdata/Vantorel/options.ini
mkdir -p "$(dirname "$ini")"
{
  printf '[Options]\r\nIsWipeFile=%s\r\nWipeNumber=1\r\n' "$([ "$scenario" = wipe ] && echo 1 || echo 0)"
  printf '[NodeSelected]\r\nSelectedCount=1\r\n1=%s\r\n[TreeViewNodeCheck]\r\n' "$caption"
  for i in $(seq 1 25); do printf '%s=0\r\n' "$i"; done
} >"$ini"

# Swaps two names in one step (renameat2 with RENAME_EXCHANGE) as fast as it
# can until told to stop; the plain file is back at its name when it ends.
swap_loop() {
  exec python3 - "$1" "$2" <<'PY'
import ctypes, signal, sys
libc = ctypes.CDLL(None, use_errno=True)
a, b = sys.argv[1].encode(), sys.argv[2].encode()
stop = False
def on_term(*_):
    global stop
    stop = True
signal.signal(signal.SIGTERM, on_term)
swapped = False
while not stop:
    if libc.renameat2(-100, a, -100, b, 2) == 0:
        swapped = not swapped
if swapped:
    libc.renameat2(-100, a, -100, b, 2)
PY
}

changed=0
worked=0
template=$(sha1sum <"$race/template/file")
for run in $(seq 1 "$runs"); do
  cp "$race/template/file" "$target"
  rm -f "$target-journal"
  cp "$race/template/file" "$outside"
  rm -f "$spare"
  ln -s "$outside" "$spare"
  before=$(sha1sum <"$outside")
  if [ -z "${RACE_CALM:-}" ]; then
    swap_loop "$target" "$spare" &
    swapper_pid=$!
  fi
  timeout 180 wine "$exe" /Clear </dev/null >/dev/null 2>&1 || true
  if [ -n "$swapper_pid" ]; then
    kill "$swapper_pid" 2>/dev/null || true
    wait "$swapper_pid" 2>/dev/null || true
    swapper_pid=
  fi
  if [ ! -e "$outside" ] || [ "$(sha1sum <"$outside")" != "$before" ]; then
    changed=$((changed + 1))
  fi
  # The clean did its own work: the file is gone, emptied or cleaned.
  if [ ! -e "$target" ] || [ "$(sha1sum <"$target")" != "$template" ]; then
    worked=$((worked + 1))
  fi
done
echo "$scenario: $changed of $runs runs changed the outside file; the clean changed its own file in $worked" \
  "($exe)"
