#!/usr/bin/env bash
# The desktop entry, the AppStream metainfo and the type of result sets must pass the freedesktop
# validators, and the type must know a set that the program saves.
#   validate_desktop.sh RESOURCES CORVANE-CLI
set -euo pipefail
resources=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

desktop=$resources/desktop/corvane.desktop
desktop-file-validate "$desktop"
# Pedantic: not even a hint may remain.
appstreamcli validate --pedantic --no-net "$resources/desktop/io.github.corvane.corvane.metainfo.xml" > "$work/appstream" ||
    { cat "$work/appstream" >&2; exit 1; }
if grep -Eq '^[EWIP]: ' "$work/appstream"; then
    cat "$work/appstream" >&2
    exit 1
fi
grep -q '<launchable type="desktop-id">corvane.desktop</launchable>' \
    "$resources/desktop/io.github.corvane.corvane.metainfo.xml" || { echo "the launchable is not corvane.desktop" >&2; exit 1; }
[[ -f $resources/desktop/screenshots/main-window.png ]] || { echo "no screenshot" >&2; exit 1; }

# The desktop entry opens the type with the file it is given.
mime=$resources/desktop/corvane-mime.xml
type=application/x-corvane-result-set
grep -qx "MimeType=$type;" "$desktop" || { echo "the desktop entry does not take $type" >&2; exit 1; }
grep -qx 'Exec=corvane %f' "$desktop" || { echo "the desktop entry does not pass the file" >&2; exit 1; }
if command -v xmllint > /dev/null; then
    xmllint --noout "$mime"
fi
grep -q "<mime-type type=\"$type\">" "$mime"
grep -q '<glob pattern="\*.CVN" case-sensitive="true"/>' "$mime"
grep -q '<glob pattern="\*.cvn"/>' "$mime"

# The magic, read as shared-mime-info reads it (octal escapes), is how a saved set starts.
magic=$(sed -n 's/.*<match type="string" offset="0" value="\([^"]*\)".*/\1/p' "$mime")
[[ -n $magic ]] || { echo "no magic in $mime" >&2; exit 1; }
printf "$magic" > "$work/magic" # the value's \ooo escapes are printf's too
mkdir "$work/tree"
printf 'x' > "$work/tree/a"
printf 'x' > "$work/tree/b"
"$cli" find -q --save "$work/s.CVN" "$work/tree" > /dev/null
size=$(stat -c %s "$work/magic")
cmp -n "$size" "$work/magic" "$work/s.CVN" || { echo "a saved set does not start with the magic" >&2; exit 1; }
# ... and its companions do not: the type is the .CVN file's alone.
if cmp -s -n "$size" "$work/magic" "$work/s.CVN.~SR~"; then
    echo "the searched-files file starts with the magic as well" >&2
    exit 1
fi
