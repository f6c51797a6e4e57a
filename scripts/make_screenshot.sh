#!/usr/bin/env bash
# Screenshots of the real program: corvane-cli searches a small made-up tree of photos and saves the
# result set, and the window opens that set (`corvane FILE.CVN`) on a virtual X display, where
# ImageMagick's `import` takes the window. Needs xvfb, x11-utils, xdotool and imagemagick, and for
# the scales openbox (none of them needed to build or test).
#
#   scripts/make_screenshot.sh [BUILD]           the AppStream screenshot,
#                                                resources/desktop/screenshots/main-window.png
#   scripts/make_screenshot.sh --scales [BUILD]  the window on a 1600x1000 screen with a window
#                                                manager at 1x, 1.5x and 2x (QT_SCALE_FACTOR) and at
#                                                144 dpi (QT_FONT_DPI), maximised where it does not
#                                                fit: docs/screenshots/scale-*.png
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
scales=false
if [[ ${1:-} == --scales ]]; then
    scales=true
    shift
fi
build=$(cd "${1:-build}" && pwd)
tools=(Xvfb xdpyinfo xdotool import)
$scales && tools+=(openbox)
for tool in "${tools[@]}"; do
    command -v "$tool" > /dev/null || { echo "make_screenshot.sh needs $tool (xvfb, x11-utils, xdotool, imagemagick, openbox)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/corvane-screenshot.XXXXXX)
xvfb=
manager=
program=
cleanup() {
    [[ -n $program ]] && kill "$program" 2> /dev/null || true
    [[ -n $manager ]] && kill "$manager" 2> /dev/null || true
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
screen=1024x768x24
$scales && screen=1600x1000x24
Xvfb "$display" -screen 0 "$screen" -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do
    xdpyinfo > /dev/null 2>&1 && break
    sleep 0.1
done
if $scales; then
    openbox > /dev/null 2>&1 &
    manager=$!
    sleep 1
fi

# Its own session folder, so that a Corvane running on the desktop does not take the set.
mkdir -m 0700 "$work/runtime"

# Starts the window with the set under the environment given (NAME=value...), waits until it is
# painted and leaves its X id in $window.
show_window() {
    env -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb LANGUAGE= LC_ALL=C.UTF-8 "$@" \
        "$build/corvane" "$set_file" &
    program=$!
    window=
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name '^Corvane$' 2> /dev/null | head -n 1) && [[ -n $window ]] && break
        sleep 0.1
    done
    [[ -n $window ]] || { echo "the window did not appear" >&2; exit 1; }
    sleep 2 # the set is read and the window painted
}

close_window() {
    kill "$program" 2> /dev/null || true
    wait "$program" 2> /dev/null || true
    program=
}

if ! $scales; then
    output=$here/resources/desktop/screenshots/main-window.png
    show_window
    mkdir -p "$(dirname "$output")"
    import -window "$window" "$output"
    identify -format 'made %f: %wx%h\n' "$output"
    exit 0
fi

mkdir -p "$here/docs/screenshots"
for shot in "scale-1x QT_SCALE_FACTOR=1" "scale-1.5x QT_SCALE_FACTOR=1.5" "scale-2x QT_SCALE_FACTOR=2" \
            "dpi-144 QT_FONT_DPI=144"; do
    name=${shot%% *}
    setting=${shot#* }
    show_window "$setting"
    # The whole screen: the window as the window manager placed it, frame and all.
    output=$here/docs/screenshots/$name.png
    import -window root "$output"
    identify -format "made %f: %wx%h, window $(xdotool getwindowgeometry "$window" | tr '\n' ' ')\n" "$output"
    close_window
done
