#!/usr/bin/env bash
# Fetches one third-party source into a cache folder, checks its SHA-256 and
# unpacks it. A second call finds the unpacked tree and does nothing.
#   fetch.sh sqlite  <cache-dir>
#   fetch.sh libjpeg <cache-dir>
set -euo pipefail
what=$1
cache=$2
mkdir -p "$cache"
cd "$cache"

# Messages go to stderr: the build hides the configure step's own output.
fail() { echo "deps: $*" >&2; exit 1; }

verify() { # file sha256
  local got
  got=$(sha256sum "$1" | cut -d' ' -f1)
  if [ "$got" != "$2" ]; then
    rm -f "$1"
    fail "checksum mismatch for $1 (expected $2, got $got); the download was removed, run the build again"
  fi
}

case "$what" in
  sqlite)
    ver=12.9.0
    sum=ad0e29650140c49d0335b1d356596aa8166f12b758f418a98446130e3278f250
    dir=sqlite-amalgamation
    [ -f "$dir/.ok" ] && exit 0
    tgz=better-sqlite3-$ver.tgz
    if [ ! -f "$tgz" ]; then
      # npm fetches from whatever registry this machine's npm is set up with.
      echo >&2 "deps: downloading the SQLite amalgamation (npm pack better-sqlite3@$ver)"
      command -v npm >/dev/null 2>&1 || fail "npm is missing (bash scripts/setup.sh installs it)"
      rm -rf npm-pack && mkdir npm-pack
      (cd npm-pack && npm pack --silent "better-sqlite3@$ver" >../npm-pack.log 2>&1) \
        || fail "npm pack better-sqlite3@$ver failed (see $cache/npm-pack.log)"
      [ -f "npm-pack/$tgz" ] || fail "npm pack did not produce $tgz (see $cache/npm-pack.log)"
      mv "npm-pack/$tgz" "$tgz"
      rm -rf npm-pack
    fi
    verify "$tgz" "$sum"
    rm -rf "$dir" && mkdir -p "$dir"
    tar -xzf "$tgz" -C "$dir" --strip-components=3 package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h \
      || fail "$tgz does not hold the SQLite amalgamation"
    touch "$dir/.ok"
    ;;
  libjpeg)
    ver=2.1.5
    debver=1:2.1.5-2
    sum=254f3642b04e309fee775123133c6464181addc150499561020312ec61c1bf7c
    dir=libjpeg-turbo-$ver
    [ -f "$dir/.ok" ] && exit 0
    orig=libjpeg-turbo_$ver.orig.tar.gz
    if [ ! -f "$orig" ]; then
      echo >&2 "deps: downloading libjpeg-turbo $debver (apt-get source, from the machine's deb-src entries)"
      apt-get source --download-only "libjpeg-turbo=$debver" >/dev/null 2>apt-source.log \
        || fail "apt-get source libjpeg-turbo=$debver failed (see $cache/apt-source.log; scripts/setup.sh adds the deb-src entries)"
    fi
    verify "$orig" "$sum"
    rm -rf "$dir"
    tar -xzf "$orig" || fail "could not unpack $orig"
    touch "$dir/.ok"
    ;;
  *) fail "unknown dependency '$what'" ;;
esac
