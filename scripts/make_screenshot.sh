#!/usr/bin/env bash
# Makes the AppStream screenshot, resources/desktop/screenshots/main-window.png, from the real
# program: corvane-cli searches a small made-up tree of photos and saves the result set, and the
# window opens that set (`corvane FILE.CVN`) on a virtual X display, where ImageMagick's `import`
# takes the window. Needs xvfb, x11-utils, xdotool and imagemagick (not needed to build or test).
#
#   scripts/make_screenshot.sh [BUILD]     (BUILD: the build folder, default build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
output=$here/resources/desktop/screenshots/main-window.png
for tool in Xvfb xdpyinfo xdotool import; do
    command -v "$tool" > /dev/null || { echo "make_screenshot.sh needs $tool (xvfb, x11-utils, xdotool, imagemagick)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/corvane-screenshot.XXXXXX)
xvfb=
program=
cleanup() {
    [[ -n $program ]] && kill "$program" 2> /dev/null || true
    [[ -n $xvfb ]] && kill "$xvfb" 2> /dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A tree with a few groups of identical files and some files of their own.
tree=$work/Pictures
mkdir -p "$tree/Holiday 2025" "$tree/Phone backup/DCIM" "$tree/Family" "$tree/Edited"
make_file() { # NAME SEED SIZE
    head -c "$3" < <(yes "$2") > "$1"
}
make_file "$tree/Holiday 2025/beach.jpg" beach 182340
make_file "$tree/Phone backup/DCIM/IMG_2041.jpg" beach 182340
make_file "$tree/Edited/beach (copy).jpg" beach 182340
make_file "$tree/Holiday 2025/harbour.jpg" harbour 240112
make_file "$tree/Phone backup/DCIM/IMG_2057.jpg" harbour 240112
make_file "$tree/Family/birthday.png" birthday 96551
make_file "$tree/Phone backup/DCIM/IMG_1988.png" birthday 96551
make_file "$tree/Family/garden.jpg" garden 151007
make_file "$tree/Edited/harbour-night.jpg" night 240113
make_file "$tree/Holiday 2025/notes.jpg" notes 5120

set_file=$work/Pictures.CVN
LC_ALL=C.UTF-8 "$build/corvane-cli" find -q --save "$set_file" -t "*.jpg;*.png" "$tree" > /dev/null

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do
    xdpyinfo > /dev/null 2>&1 && break
    sleep 0.1
done

# Its own session folder, so that a Corvane running on the desktop does not take the set.
mkdir -m 0700 "$work/runtime"
env -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb LANGUAGE= LC_ALL=C.UTF-8 \
    "$build/corvane" "$set_file" &
program=$!
window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name 'Corvane' 2> /dev/null | head -n 1) && [[ -n $window ]] && break
    sleep 0.1
done
[[ -n $window ]] || { echo "the window did not appear" >&2; exit 1; }
sleep 2 # the set is read and the window painted
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
identify -format 'made %f: %wx%h\n' "$output"
