#!/usr/bin/env bash
# Renders the program's icon, packaging/icons/stopwell.svg, as the PNG sizes
# the package installs (checked in, so a build needs no SVG renderer).
# Run it after changing the SVG; it needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
ICONS="$(cd "$(dirname "${BASH_SOURCE[0]}")/../packaging/icons" && pwd)"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" "$ICONS/stopwell.svg" --output "$ICONS/stopwell-$size.png"
done
