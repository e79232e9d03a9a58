#!/bin/sh
# Renders the PNG sizes of the program's icon from its SVG (needs rsvg-convert,
# Debian package librsvg2-bin). Run after changing the SVG and commit the PNGs.
set -eu
cd "$(dirname "$0")"
for n in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$n" -h "$n" tarvik-reporter.svg -o "tarvik-reporter-$n.png"
done
