#!/usr/bin/env bash
# Renders the icon's PNG sizes from vellora-brindo.svg with rsvg-convert
# (Debian package librsvg2-bin). The PNGs are committed, so the build does not
# need the renderer; run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" -o "png/${size}.png" vellora-brindo.svg
done
