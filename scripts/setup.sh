#!/usr/bin/env bash
# Installs what one command needs on a Debian machine (run as root, or with
# sudo available), and nothing more. Every step is skipped when its tools are
# present.
#   setup.sh start        build and run the program
#   setup.sh test         build and run the tests
#   setup.sh screenshots  build and take pictures of the program
set -euo pipefail
purpose=${1:-start}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

need=()
have() { command -v "$1" >/dev/null 2>&1; }

# The build: the cross compiler, CMake, Wine to run the result, npm for the
# SQLite package, dpkg-dev for the libjpeg-turbo source package, Python 3 to
# draw the theme pictures.
have i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686)
have cmake || need+=(cmake)
have python3 || need+=(python3)
have make || need+=(make)
have npm || need+=(npm)
have dpkg-source || need+=(dpkg-dev)
if ! have wine || ! dpkg -s wine32:i386 >/dev/null 2>&1; then
  need+=(wine wine32:i386 wine64)
fi
# Wine's own fonts (Debian only recommends them): without Marlett the caption
# buttons and message boxes of plain windows show letters instead of glyphs.
dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
case "$purpose" in
  start)
    [ -n "${DISPLAY:-}" ] || have xvfb-run || need+=(xvfb xauth)
    ;;
  test)
    have ctest || need+=(cmake)
    have Xvfb || need+=(xvfb)
    [ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
    # The .reg tests also run under code page 932: a Japanese locale built
    # from its sources into the build folder.
    [ -f /usr/share/i18n/locales/ja_JP ] && [ -f /usr/share/i18n/charmaps/UTF-8.gz ] || need+=(locales)
    ;;
  screenshots)
    have Xvfb || need+=(xvfb)
    have import || need+=(imagemagick)
    have xdotool || need+=(xdotool)
    have xwininfo || need+=(x11-utils)
    ;;
  *)
    echo "setup: unknown purpose '$purpose' (start, test or screenshots)" >&2
    exit 2
    ;;
esac

# The first "deb" entry of the machine's own apt sources for this release's
# main component: its address serves the deb-src entry too.
deb_address() {
  local codename=$1 f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v want="$codename" '
      function flush() { if (types ~ /(^| )deb( |$)/ && suites ~ "(^| )" want "( |$)" && comps ~ /(^| )main( |$)/ && uri != "") { print uri, key; found = 1; exit } types = suites = comps = uri = key = "" }
      /^[ \t]*$/ { flush(); next }
      /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
      /^URIs:/ { sub(/^URIs:[ \t]*/, ""); split($0, u, " "); uri = u[1] }
      /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
      /^Components:/ { sub(/^Components:[ \t]*/, ""); comps = $0 }
      /^Signed-By:/ { sub(/^Signed-By:[ \t]*/, ""); key = $0 }
      END { if (!found) flush() }' "$f" | head -n 1
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    # deb [options] address suite components...
    sed -e 's/\[[^]]*\]//' "$f" | awk -v want="$codename" \
      '$1 == "deb" && $3 == want { for (i = 4; i <= NF; i++) if ($i == "main") { print $2; exit } }'
  done
}

# Source packages (libjpeg-turbo) come from deb-src entries.
updated=1
if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  . /etc/os-release
  read -r address key < <(deb_address "${VERSION_CODENAME}" | head -n 1) || true
  if [ -z "${address:-}" ]; then
    echo "setup: no apt source for ${VERSION_CODENAME} main found to take a deb-src entry from;" \
      "add a deb-src entry for it and run again" >&2
    exit 1
  fi
  echo "setup: adding a deb-src entry for ${address} (source packages)"
  {
    echo "Types: deb-src"
    echo "URIs: ${address}"
    echo "Suites: ${VERSION_CODENAME} ${VERSION_CODENAME}-updates"
    echo "Components: main"
    if [ -n "${key:-}" ]; then echo "Signed-By: ${key}"; fi
  } | $SUDO tee /etc/apt/sources.list.d/vantorel-src.sources >/dev/null
  updated=0
fi

if [ ${#need[@]} -gt 0 ] || [ "${updated}" -eq 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  echo "setup: downloading the package lists"
  $SUDO apt-get update -qq
  if [ ${#need[@]} -gt 0 ]; then
    echo "setup: downloading and installing ${need[*]}"
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
  fi
fi
echo "setup: tools ready for ${purpose}"
