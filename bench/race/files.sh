# The cleaner's file links present at the listing (sourced by race.sh): the
# file a clean opens for its content is swapped with a link to an outside
# file; counted are the runs after which the outside file had changed, and
# (as a check) those in which the clean changed its own file.
road_setup() {
  case "$road" in
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
  esac
  mkdir -p "$(dirname "$target")" "$settings"
  outside=$race/outside/$(basename "$target")
  spare=$race/spare/$(basename "$target")
  write_options "$caption" "$([ "$road" = wipe ] && echo 1 || echo 0)" "Who=user" "$ini"
  template=$(sha1sum <"$race/template/file")
  changed=0
  worked=0
}

road_reset() {
  cp "$race/template/file" "$target"
  rm -f "$target-journal"
  cp "$race/template/file" "$outside"
  rm -f "$spare"
  ln -s "$outside" "$spare"
  before=$(sha1sum <"$outside")
  swap_a=$target swap_b=$spare args=/Clear
}

road_judge() {
  if [ ! -e "$outside" ] || [ "$(sha1sum <"$outside")" != "$before" ]; then
    changed=$((changed + 1))
  fi
  # The clean did its own work: the file is gone, emptied or cleaned.
  if [ ! -e "$target" ] || [ "$(sha1sum <"$target")" != "$template" ]; then
    worked=$((worked + 1))
  fi
}

road_report() {
  echo "$road: $changed of $runs runs changed the outside file; the clean changed its own file in $worked"
}
