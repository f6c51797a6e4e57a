#!/bin/sh
# Renders the hicolor PNG sizes of the application icon from corvane.svg.
# Needs rsvg-convert (Debian package librsvg2-bin). Run from any folder.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
for n in 16 24 32 48 64 128 256; do
    mkdir -p "$here/hicolor/${n}x${n}/apps"
    rsvg-convert -w "$n" -h "$n" "$here/corvane.svg" -o "$here/hicolor/${n}x${n}/apps/corvane.png"
done
