#!/usr/bin/env bash
# Renders the PNG icons from the scalable one; run after editing the SVG
# and commit the results (needs librsvg2-bin).
set -euo pipefail
icons="$(cd "$(dirname "$0")/.." && pwd)/share/icons/hicolor"
for size in 48 256; do
  mkdir -p "$icons/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$icons/scalable/apps/tessaly.svg" -o "$icons/${size}x${size}/apps/tessaly.png"
done
