#!/usr/bin/env bash
# Starts the built program on a private Xvfb display inside its own Wine
# prefix (build/shot-env) and saves a picture of each page of the main window
# to build/screenshots. Needs xdotool and ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VANTOREL_BUILD:-$root/build}
env_dir="$build/shot-env"
out="$build/screenshots"
mkdir -p "$env_dir" "$out"
bash "$root/tests/harness/setup.sh" "$env_dir" >/dev/null
trap 'bash "$root/tests/harness/teardown.sh" "$env_dir"' EXIT
source "$root/tests/harness/wine-env.sh" "$env_dir"
wine "$build/bin/Vantorel.exe" </dev/null >"$env_dir/program.log" 2>&1 &
wid=""
for _ in $(seq 1 60); do
  wid=$(xdotool search --name "^Vantorel 3.1$" 2>/dev/null | head -n 1 || true)
  [ -n "$wid" ] && break
  sleep 0.5
done
[ -n "$wid" ] || { echo "screenshots: the main window did not appear" >&2; exit 1; }
sleep 2
eval "$(xdotool getwindowgeometry --shell "$wid")"
# The navigation buttons: 75 x 53 at (5, 60 + 61 * n) in the client area.
shoot() { import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$out/$1.png"; }
shoot Cleaner
for page in "Registry:1" "Defrag:2" "Tools:3"; do
  name=${page%%:*}; n=${page##*:}
  xdotool mousemove $((X + 40)) $((Y + 85 + 61 * n)) click 1
  sleep 1
  shoot "$name"
done
xdotool windowclose "$wid" 2>/dev/null || true
echo "screenshots: $out"
