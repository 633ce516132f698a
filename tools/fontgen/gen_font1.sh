#!/bin/sh
# Writes the game's font (font1.png, font1.xml) into a folder; the committed copies in
# game/DATA/fonts are made with exactly this command.
#   tools/fontgen/gen_font1.sh build/tools/fontgen/fontgen game/DATA/fonts
set -eu
fontgen=$1
out=$2
mkdir -p "$out"
"$fontgen" --font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf --cell 32 --size 22 \
  --id FNT_FONT1 --texture-id TEX_FONT1 --technique-id TEQ_FONT --techpack-id TEQ_PACK_STD \
  --png "$out/font1.png" --xml "$out/font1.xml"
