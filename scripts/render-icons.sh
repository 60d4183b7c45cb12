#!/usr/bin/env bash
# Renders the icon's PNG sizes from packaging/icons/velmor.svg (needs
# rsvg-convert, Debian librsvg2-bin). The PNGs are kept in the repository so
# that a build needs no renderer.
set -euo pipefail
icons=$(cd "$(dirname "$0")/../packaging/icons" && pwd)
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$icons/velmor.svg" -o "$icons/velmor-$size.png"
done
