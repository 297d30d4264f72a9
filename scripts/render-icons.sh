#!/usr/bin/env bash
# Renders the program icon from its SVG: PNGs at the hicolor sizes and the Windows .ico with
# 16x16 at 256 colours plus 48, 32, 24 and 16 at 32-bit colour. The results are committed;
# run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/.."
svg=app/resources/tolvaris-time-sync.svg
out=app/resources/icons
mkdir -p "$out"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$svg" -o "$out/tolvaris-time-sync-${size}.png"
done
# 256-colour 16x16: palette image with 1-bit transparency.
convert "$out/tolvaris-time-sync-16.png" -channel A -threshold 50% +channel -colors 255 \
  -define png:color-type=3 PNG8:"$out/tolvaris-time-sync-16-8bit.png"
icotool -c -o "$out/tolvaris-time-sync.ico" \
  "$out/tolvaris-time-sync-16-8bit.png" "$out/tolvaris-time-sync-48.png" \
  "$out/tolvaris-time-sync-32.png" "$out/tolvaris-time-sync-24.png" "$out/tolvaris-time-sync-16.png"
