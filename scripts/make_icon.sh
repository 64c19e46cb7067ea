#!/bin/bash
# Draws the program icon (a page with ruled lines and a blue quill stroke) at
# 32x32 and 16x16 and packs both into res/qwilpad.ico. Run once by hand when the
# look changes; the .ico is committed, so builds never need ImageMagick for it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

convert -size 32x32 xc:none \
  -fill white -stroke '#404040' -strokewidth 1 \
  -draw 'polygon 5,1 21,1 27,7 27,30 5,30' \
  -fill '#d8d8d8' -draw 'polygon 21,1 21,7 27,7' \
  -stroke '#8090b0' -draw 'line 8,11 24,11' -draw 'line 8,15 24,15' \
  -draw 'line 8,19 24,19' -draw 'line 8,23 17,23' \
  -stroke '#1848a8' -strokewidth 3 -draw 'line 13,27 29,9' \
  -stroke '#c02020' -strokewidth 2 -draw 'line 11,29 13,27' \
  "$tmp/32.png"

convert -size 16x16 xc:none \
  -fill white -stroke '#404040' -strokewidth 1 \
  -draw 'polygon 2,0 10,0 13,3 13,15 2,15' \
  -stroke '#8090b0' -draw 'line 4,5 11,5' -draw 'line 4,8 11,8' -draw 'line 4,11 8,11' \
  -stroke '#1848a8' -strokewidth 2 -draw 'line 7,13 15,4' \
  "$tmp/16.png"

convert "$tmp/16.png" "$tmp/32.png" "$root/res/qwilpad.ico"
convert "$tmp/32.png" -scale 800% "$tmp/preview32.png"
echo "wrote $root/res/qwilpad.ico"
