#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs: what `cmake --install`
# places must work on its own, the save module found where it was installed.
#   install_test.sh BUILD VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" > /dev/null
for f in bin/corvane bin/corvane-cli share/applications/corvane.desktop \
         share/metainfo/io.github.corvane.corvane.metainfo.xml share/mime/packages/corvane.xml \
         share/icons/hicolor/scalable/apps/corvane.svg share/icons/hicolor/48x48/apps/corvane.png \
         share/man/man1/corvane.1.gz share/man/man1/corvane-cli.1.gz share/corvane/help/index.html \
         share/corvane/help/index.de.html \
         share/doc/corvane/copyright share/doc/corvane/changelog.gz; do
    [[ -e $work/prefix/$f ]] || { echo "not installed: $f" >&2; exit 1; }
done
# The save module sits in a private folder, never in a folder that ldconfig reads, with no links.
modules=$(cd "$work/prefix" && find . -name 'corvane-cli-save*')
[[ $modules == ./lib/*/corvane/corvane-cli-save.so ]] || { echo "save module installed as: $modules" >&2; exit 1; }

# Compressed for Debian: gzip -9n keeps no name and no time, so the bytes depend on the text alone.
for f in share/man/man1/corvane.1.gz share/man/man1/corvane-cli.1.gz share/doc/corvane/changelog.gz; do
    [[ $(od -An -tx1 -j4 -N4 "$work/prefix/$f" | tr -d ' ') == 00000000 ]] || { echo "$f keeps a time" >&2; exit 1; }
done
for page in corvane corvane-cli; do
    zcat "$work/prefix/share/man/man1/$page.1.gz" | grep -q "^\.TH .* \"Corvane $version\"" ||
        { echo "the man page of $page does not say version $version" >&2; exit 1; }
done
zcat "$work/prefix/share/doc/corvane/changelog.gz" | head -n 1 | grep -q "^corvane ($version) " ||
    { echo "the changelog's latest entry is not $version" >&2; exit 1; }
grep -q "<release version=\"$version\"" "$work/prefix/share/metainfo/io.github.corvane.corvane.metainfo.xml" ||
    { echo "the metainfo has no release $version" >&2; exit 1; }

# Both programs tell the version without a display.
[[ $(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/prefix/bin/corvane" --version) == "corvane $version" ]]
[[ $("$work/prefix/bin/corvane-cli" --version) == "corvane-cli $version" ]]

mkdir -p "$work/tree/sub"
printf 'same' > "$work/tree/a.txt"
printf 'same' > "$work/tree/sub/b.txt"
printf 'else' > "$work/tree/c.txt"
out=$("$work/prefix/bin/corvane-cli" find -q "$work/tree" 2>/dev/null)
expected=$(printf '%s\n%s' "$work/tree/a.txt" "$work/tree/sub/b.txt")
[[ $out == "$expected" ]] || { echo "unexpected output: $out" >&2; exit 1; }
[[ ! -e $work/prefix/bin/corvane-cli-save.so ]] || { echo "the save module is installed beside the program" >&2; exit 1; }
if ! out=$("$work/prefix/bin/corvane-cli" find -q --save "$work/r.CVN" "$work/tree" 2> "$work/err"); then
    cat "$work/err" >&2
    exit 1
fi
[[ $out == "$expected" ]] || { echo "unexpected output with --save: $out" >&2; exit 1; }
shown=$("$work/prefix/bin/corvane-cli" show "$work/r.CVN")
[[ $shown == *"$expected" ]] || { echo "unexpected saved set: $shown" >&2; exit 1; }
