#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine (run as root,
# or with sudo available). Every step is skipped when its tools are present.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

need=()
have() { command -v "$1" >/dev/null 2>&1; }
have i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686)
have cmake || need+=(cmake)
have ctest || need+=(cmake)
have make || need+=(make)
have Xvfb || need+=(xvfb)
have xdpyinfo || need+=(x11-utils)
have import || need+=(imagemagick)
have npm || need+=(npm)
have dpkg-source || need+=(dpkg-dev)
have curl || need+=(curl ca-certificates)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
if ! have wine || ! dpkg -s wine32:i386 >/dev/null 2>&1; then
  need+=(wine wine32:i386 wine64)
fi

# Source packages (libjpeg-turbo) come from deb-src entries.
if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "setup: adding deb-src entries for source packages"
  . /etc/os-release
  $SUDO tee /etc/apt/sources.list.d/vantorel-src.sources >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: ${VERSION_CODENAME} ${VERSION_CODENAME}-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  updated=0
else
  updated=1
fi

if [ ${#need[@]} -gt 0 ] || [ "${updated}" -eq 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  echo "setup: installing ${need[*]:-nothing (refreshing package lists)}"
  $SUDO apt-get update -qq
  if [ ${#need[@]} -gt 0 ]; then
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
  fi
fi
echo "setup: tools ready"
