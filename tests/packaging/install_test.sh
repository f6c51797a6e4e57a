#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed corvane-cli on a small tree:
# what `cmake --install` places must work on its own, the save module found where it was installed.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" > /dev/null
for f in bin/corvane bin/corvane-cli share/applications/corvane.desktop \
         share/metainfo/io.github.corvane.Corvane.metainfo.xml share/icons/hicolor/scalable/apps/corvane.svg \
         share/icons/hicolor/48x48/apps/corvane.png share/man/man1/corvane-cli.1 share/corvane/help/index.html; do
    [[ -e $work/prefix/$f ]] || { echo "not installed: $f" >&2; exit 1; }
done
mkdir -p "$work/tree/sub"
printf 'same' > "$work/tree/a.txt"
printf 'same' > "$work/tree/sub/b.txt"
printf 'else' > "$work/tree/c.txt"
out=$("$work/prefix/bin/corvane-cli" find -q "$work/tree" 2>/dev/null)
expected=$(printf '%s\n%s' "$work/tree/a.txt" "$work/tree/sub/b.txt")
[[ $out == "$expected" ]] || { echo "unexpected output: $out" >&2; exit 1; }
"$work/prefix/bin/corvane-cli" --version | grep -q '^corvane-cli '
[[ ! -e $work/prefix/bin/corvane-cli-save.so ]] || { echo "the save module is installed beside the program" >&2; exit 1; }
if ! out=$("$work/prefix/bin/corvane-cli" find -q --save "$work/r.CVN" "$work/tree" 2> "$work/err"); then
    cat "$work/err" >&2
    exit 1
fi
[[ $out == "$expected" ]] || { echo "unexpected output with --save: $out" >&2; exit 1; }
shown=$("$work/prefix/bin/corvane-cli" show "$work/r.CVN")
[[ $shown == *"$expected" ]] || { echo "unexpected saved set: $shown" >&2; exit 1; }
