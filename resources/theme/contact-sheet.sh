#!/usr/bin/env bash
# Renders every generated theme picture, enlarged and labelled, onto one PNG
# per style for looking at by hand. Needs ImageMagick; not part of the build.
# Usage: contact-sheet.sh PICTURE_DIR OUT_DIR
set -euo pipefail
pictures=$1 out=$2
mkdir -p "$out/big"
font=$(fc-match -f '%{file}' sans 2>/dev/null || true)
for group in MACOS WINXP DEEPBLUE PROTEIN BLUEGLASS "MORE MENU PROTEIN_FORM"; do
  files=()
  for prefix in $group; do files+=("$pictures"/"$prefix"_*.bmp); done
  name=$(echo "$group" | cut -d' ' -f1)
  args=()
  for f in "${files[@]}"; do
    big="$out/big/$(basename "$f" .bmp).png"
    convert "$f" -filter point -resize 300% "$big"  # enlarged first, so labels stay sharp
    args+=(-label "$(basename "$f" .bmp)" "$big")
  done
  montage -background '#9a9a9a' -fill black -pointsize 12 ${font:+-font "$font"} "${args[@]}" \
    -tile 2x -geometry '+6+6' "$out/sheet-$name.png"
done
echo "$out"/sheet-*.png
