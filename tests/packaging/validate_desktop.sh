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

# What a file manager makes of a saved set, asked of shared-mime-info and GIO with a database of
# the freedesktop.org types and ours: the .CVN file is a set, its companions are parts of it (not
# backup files, as the glob *~ would make them).
system_types=/usr/share/mime/packages/freedesktop.org.xml
if command -v update-mime-database > /dev/null && command -v gio > /dev/null && [[ -f $system_types ]]; then
    mkdir -p "$work/data/mime/packages"
    cp "$system_types" "$work/data/mime/packages/"
    cp "$mime" "$work/data/mime/packages/corvane.xml"
    update-mime-database "$work/data/mime" > /dev/null 2>&1
    type_of() {
        XDG_DATA_HOME=$work/data XDG_DATA_DIRS=$work/data gio info -a standard::content-type "$1" |
            sed -n 's/^ *standard::content-type: //p'
    }
    cp "$work/s.CVN.~DF~" "$work/lower.cvn.~DF~"
    for file in "$work/s.CVN" "$work/s.CVN.~SR~" "$work/s.CVN.~DF~" "$work/lower.cvn.~DF~"; do
        case $file in
            *.CVN) wanted=$type ;;
            *) wanted=application/x-corvane-result-set-part ;;
        esac
        got=$(type_of "$file")
        [[ $got == "$wanted" ]] || { echo "$(basename "$file") is typed $got, not $wanted" >&2; exit 1; }
    done
    printf 'x' > "$work/notes.txt~"
    [[ $(type_of "$work/notes.txt~") == application/x-trash ]] ||
        { echo "the backup glob no longer types notes.txt~: the check above proves nothing" >&2; exit 1; }
fi
