#!/usr/bin/env bash
# Installs what is missing, builds, and saves pictures of the program to
# build/screenshots: the four pages, the header at a small and a large size, a
# finished test of the cleaner, a finished registry scan and fix, both popup
# menus, the question before a clean, the keyboard focus on a button, a hint
# of the Tools page, the Restore dialog and the pages of the Options dialog. The
# program runs in its own Wine prefix under build/shot-env (never ~/.wine),
# inside the Wine virtual desktop the README names, so that the pictures show
# the title bars and caption buttons Wine draws; on the DISPLAY already set,
# or on a private Xvfb screen when there is none. Its registry backups go to a
# folder of that prefix, never to build/bin/Backup.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh" screenshots
bash "$root/scripts/build.sh" -DVANTOREL_TESTS=OFF
build=${VANTOREL_BUILD:-$root/build}
env_dir="$build/shot-env"
out="$build/screenshots"
mkdir -p "$env_dir" "$out"
rm -f "$out"/*.png
user_display=${DISPLAY:-}
bash "$root/tests/harness/setup.sh" "$env_dir" >/dev/null
trap 'bash "$root/tests/harness/teardown.sh" "$env_dir"' EXIT
source "$root/tests/harness/wine-env.sh" "$env_dir"
[ -n "$user_display" ] && export DISPLAY="$user_display"
echo "screenshots: DISPLAY $DISPLAY, Wine prefix $WINEPREFIX"

# Saved ticks, so that the test and the question have items to show, and a
# backup folder of this prefix (missing, so the fix asks to make it).
appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r')")
mkdir -p "$appdata/Vantorel"
printf '[NodeSelected]\r\n1=Windows - Temporary Files\r\n2=Windows - Clipboard\r\n3=Internet Explorer - Cookies\r\nSelectedCount=3\r\n[Options]\r\nOutputDirectory=C:\\vantorel-shots-backup\r\n' \
  >"$appdata/Vantorel/options.ini"
rm -rf "$WINEPREFIX/drive_c/vantorel-shots-backup"

wine explorer /desktop=Vantorel,1024x768 "$build/bin/Vantorel.exe" </dev/null >"$env_dir/program.log" 2>&1 &
wid=""
for _ in $(seq 1 60); do
  wid=$(xdotool search --onlyvisible --name "^Vantorel 3.1$" 2>/dev/null | head -n 1 || true)
  [ -n "$wid" ] && break
  sleep 0.5
done
[ -n "$wid" ] || { echo "screenshots: the main window did not appear" >&2; exit 1; }
desk=$(xdotool search --name "^Vantorel - Wine desktop$" 2>/dev/null | head -n 1 || true)
sleep 2

# The absolute rectangle of an X window: xdotool adds the offset of a window
# inside the desktop twice.
rect() {
  eval "$(xwininfo -id "$1" | awk -F: '/Absolute upper-left X/{print "X=" $2} /Absolute upper-left Y/{print "Y=" $2}
    /^ *Width/{print "WIDTH=" $2} /^ *Height/{print "HEIGHT=" $2}' | tr -d ' ')"
}
geometry() { rect "$wid"; }
# The main window (with its title bar), or the whole desktop for menus and
# questions that may lie outside it. +repage drops the crop's page offset.
shoot() { geometry; import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1.png"; }
shoot_screen() { rect "$desk"; import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1.png"; }
# The frame Wine draws around the client area, from the default client size
# (697 x 456): the same border on three sides, the title bar above.
geometry
frame=$(((WIDTH - 697) / 2))
top=$((HEIGHT - 456 - frame))
# A point of the client area at the default size.
click() { geometry; xdotool mousemove $((X + frame + $1)) $((Y + top + $2)) click "${3:-1}"; sleep "${4:-1}"; }
page() { click 42 $((86 + 61 * $1)); } # the navigation buttons, 75 x 53 at (5, 60 + 61 n)
# Resizes the window as a user does, dragging its bottom right corner by
# (dx, dy); the window keeps at least its smallest size.
drag_corner() {
  geometry
  xdotool mousemove $((X + WIDTH - 2)) $((Y + HEIGHT - 2)) mousedown 1 sleep 0.3 \
    mousemove $((X + WIDTH - 2 + $1)) $((Y + HEIGHT - 2 + $2)) sleep 0.3 mouseup 1
  sleep 1
}
# A double click on the title bar maximises the window, or restores it.
toggle_maximised() { geometry; xdotool mousemove $((X + 150)) $((Y + top / 2)) click --repeat 2 --delay 80 1; sleep 2; }

shoot Cleaner
for p in "Registry:1" "Defrag:2" "Tools:3"; do
  page "${p##*:}"
  shoot "${p%%:*}"
done

page 0
click 542 415 1 8 # Test
shoot Cleaner-test-finished
click 492 241 3 # right click on the log
shoot_screen Cleaner-log-popup
xdotool key Escape
click 637 415 1 2 # Clean: the question before a clean
shoot_screen Clean-question
click 493 294 # its Cancel button (the question is centred on the window)
sleep 1

page 1
click 542 415 1 40 # Scan
shoot Registry-scan-finished
click 380 120 1 # a row (on its text, clear of the check box)
click 380 120 3 # right click on the problem list
shoot_screen Registry-list-popup
xdotool key Escape

# Fix Errors, after the question about the missing backup folder (Yes), then
# the result line at the window's smallest size, and the Restore dialog with
# the backup the fix wrote.
click 643 415 1 2 # Fix Errors
xdotool key y # "&Yes": make the backup folder
sleep 3
# Rows that could not be fixed are reported in a message box.
if xdotool search --onlyvisible --name "^Vantorel$" >/dev/null 2>&1; then
  shoot_screen Registry-fix-report
  xdotool key Return
  sleep 4
fi
shoot Registry-fix-finished
geometry
width=$WIDTH height=$HEIGHT
# Far enough to reach 626 x 455, the smallest size the window takes.
drag_corner -300 -300
shoot Registry-fix-small
drag_corner $((width - 626)) $((height - 455))
click 342 415 1 2 # Restore
shoot_screen Restore
xdotool key Escape
sleep 2

drag_corner -300 -300
shoot Header-small
drag_corner $((width - 626)) $((height - 455))
# Large: maximised over the whole desktop.
toggle_maximised
shoot Header-large
toggle_maximised

# The Tools page with the hint of its Startup button, and the keyboard focus
# on a main-window button: from the cleaner's log, in reading order, Tab
# reaches "Fast Mode" and then Test.
page 3
geometry
xdotool mousemove $((X + frame + 160)) $((Y + top + 87)) # on Startup Manager, as the clicks place it
sleep 3
shoot Tools-hint
page 0
click 492 300 # the log
xdotool key Tab Tab
sleep 1
shoot Focus-button

# The Options dialog, one picture per page (the skinned tabs along its top
# edge: each as wide as its caption + 20, the first 18 px in).
click 42 330 1 2
dlg=$(xdotool search --onlyvisible --name "^Options$" 2>/dev/null | head -n 1 || true)
if [ -n "$dlg" ]; then
  # Its client area lies inside the frame Wine draws: the same border below
  # and at the sides, the title bar above (client height 434).
  rect "$dlg"
  dframe=$(((WIDTH - 488) / 2))
  dtop=$((HEIGHT - 434 - dframe))
  for t in "Common:54" "Cookies:121" "Schedule:189" "Boss-Key:261" "Ignore-Lists:339"; do
    rect "$dlg"
    xdotool mousemove $((X + dframe + ${t##*:})) $((Y + dtop + 18)) click 1
    sleep 1
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/Options-${t%%:*}.png"
  done
  # "Add to Ignore List" from the last page; Escape closes it, then Options.
  xdotool mousemove $((X + dframe + 257)) $((Y + dtop + 362)) click 1
  sleep 1
  shoot_screen Options-Add-to-Ignore-List
  xdotool key Escape sleep 1 key Escape
  sleep 1
else
  echo "screenshots: the Options dialog did not appear" >&2
fi

# Closed as a user closes it (a click on its title bar, then Alt+F4): the
# program saves options.ini. Inside the virtual desktop taskkill's close
# message does not reach it.
geometry
xdotool mousemove $((X + 150)) $((Y + top / 2)) click 1 sleep 0.5 key alt+F4
closed() { ! xdotool search --name "^Vantorel 3.1$" >/dev/null 2>&1; }
for _ in $(seq 1 30); do
  closed && break
  sleep 1
done
if ! closed; then
  echo "screenshots: the program did not close" >&2
else
  grep -q '^\[Window\]' "$appdata/Vantorel/options.ini" && echo "screenshots: options.ini saved at close"
fi
echo "screenshots: $out"
