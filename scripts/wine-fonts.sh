#!/usr/bin/env bash
# Puts the fonts the program is drawn with into a Wine prefix: Marlett (the
# glyphs of the caption buttons), Tahoma and MS Sans Serif (the texts). Wine
# finds them in the prefix's C:\windows\Fonts, but never opens the folder the
# Debian package fonts-wine installs them in; without them the caption buttons
# show the letters "0 1 r" and every text falls back to a wider font.
# Usage: wine-fonts.sh <prefix>. Copies only what is missing.
set -euo pipefail
from=/usr/share/wine/fonts
to="$1/drive_c/windows/Fonts"
if [ ! -d "$to" ]; then
  echo "wine-fonts: $to is missing: the prefix is not made yet" >&2
  exit 1
fi
# MS Sans Serif is the bitmap font the registry names (sserife.fon) with its
# scalable twin.
for font in marlett.ttf tahoma.ttf tahomabd.ttf ms_sans_serif.ttf sserife.fon; do
  if [ ! -f "$from/$font" ]; then
    echo "wine-fonts: $from/$font is missing (install fonts-wine)" >&2
    exit 1
  fi
  [ -f "$to/$font" ] || cp "$from/$font" "$to/$font"
done
