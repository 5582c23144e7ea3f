#!/usr/bin/env bash
# Draws the program's own pictures with ImageMagick. The results are kept in
# the repository; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"
# Title strip of the main window: a blue gradient with soft light bands.
convert -size 700x50 gradient:'#1d4f91'-'#3f86d1' \
  \( -size 700x50 xc:none -fill 'rgba(255,255,255,0.10)' -draw 'polygon 420,0 520,0 470,50 370,50' \
     -fill 'rgba(255,255,255,0.07)' -draw 'polygon 540,0 600,0 550,50 490,50' \) -composite \
  -fill 'rgba(255,255,255,0.25)' -draw 'rectangle 0,48 700,49' \
  -quality 90 title.jpg
# Main window icon: a white sweep over a blue disc.
convert -size 32x32 xc:none -fill '#2a6bb8' -draw 'circle 16,16 16,1' \
  -stroke white -strokewidth 3 -fill none -draw 'arc 7,7 25,25 200,340' \
  -fill white -stroke none -draw 'circle 16,16 16,13' \
  \( +clone -resize 16x16 \) Vantorel.ico
