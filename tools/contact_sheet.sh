#!/usr/bin/env bash
# Renders every generated TGA image into one labelled PNG contact sheet, to judge the look of the asset set.
# Usage: tools/contact_sheet.sh OUTPUT.png [ASSET_DIR]   (ASSET_DIR defaults to build/run)
set -euo pipefail

out=${1:?usage: contact_sheet.sh OUTPUT.png [ASSET_DIR]}
dir=${2:-"$(dirname "$0")/../build/run"}

shopt -s nullglob
images=("$dir"/*.tga)
if [ ${#images[@]} -eq 0 ]; then
  echo "contact_sheet: no TGA images in $dir" >&2
  exit 1
fi

# TGA rows are stored bottom-up and ImageMagick only records that as an orientation, so each picture is
# turned upright first (-auto-orient), the way the game shows it. Alpha is flattened onto grey so the glyph
# page (white glyphs) and its glow twin (black glyphs) both stay visible. Large images shrink to 256 pixels.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for f in "${images[@]}"; do
  name=$(basename "$f" .tga)
  convert "$f" -auto-orient -background '#3a3a3a' -alpha remove -alpha off \
    -set comment "$(basename "$f") $(identify -format '%wx%h' "$f")" "$tmp/$name.png"
done
montage -background '#202020' -fill white -font /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf \
  -pointsize 12 -label '%c' "$tmp"/*.png -geometry '256x256>+6+6' -tile 6x "$out"
echo "contact_sheet: wrote $out (${#images[@]} images)"
