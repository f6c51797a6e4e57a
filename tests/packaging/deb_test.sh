#!/usr/bin/env bash
# Builds the Debian package as `make package` does and checks it: its control fields, what it holds,
# no maintainer script, and, when lintian is there, not one error or warning of Debian's checker.
#   deb_test.sh BUILD VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Its own package folder, so that a `make package` in the same build is not disturbed.
(cd "$build" && cpack -B "$work/out" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; exit 1; }
deb=$work/out/corvane_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || { echo "no package $deb" >&2; ls "$work/out" >&2; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Version) == "$version" ]] || { echo "Version: $(field Version)" >&2; exit 1; }
# Nothing recommended may bring in a terminal emulator: xdg-utils did, through its own
# recommendations.
if field Recommends | grep -q xdg-utils; then
    echo "xdg-utils is recommended: $(field Recommends)" >&2
    exit 1
fi
# Each line of the long description is short.
if dpkg-deb -f "$deb" Description | awk 'length($0) >= 80 { found = 1 } END { exit !found }'; then
    echo "a description line of 80 characters or more" >&2
    exit 1
fi

# No maintainer scripts: the save module is no shared library of the system, and the triggers of
# the desktop's packages take the desktop entry, the icons and the type of result sets.
dpkg-deb -e "$deb" "$work/control"
for script in preinst postinst prerm postrm triggers shlibs; do
    [[ ! -e $work/control/$script ]] || { echo "the package has a $script" >&2; exit 1; }
done

dpkg-deb -c "$deb" | awk '{ print $6 }' > "$work/files"
for f in ./usr/bin/corvane ./usr/bin/corvane-cli ./usr/share/doc/corvane/copyright ./usr/share/doc/corvane/changelog.gz \
         ./usr/share/man/man1/corvane.1.gz ./usr/share/man/man1/corvane-cli.1.gz ./usr/share/mime/packages/corvane.xml \
         "./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/corvane/corvane-cli-save.so"; do
    grep -qx -- "$f" "$work/files" || { echo "not in the package: $f" >&2; exit 1; }
done

# The binaries are hardened and stripped.
dpkg-deb -x "$deb" "$work/root"
for binary in usr/bin/corvane usr/bin/corvane-cli "usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/corvane/corvane-cli-save.so"; do
    elf=$work/root/$binary
    readelf -d "$elf" | grep -q 'BIND_NOW' || { echo "$binary: not linked with -z now" >&2; exit 1; }
    readelf -lW "$elf" | grep -q 'GNU_RELRO' || { echo "$binary: no relro" >&2; exit 1; }
    readelf -SW "$elf" | grep -q '\.debug_' && { echo "$binary: not stripped" >&2; exit 1; }
    if [[ $binary == usr/bin/* ]]; then
        readelf -hW "$elf" | grep -q 'DYN (' || { echo "$binary: not position-independent" >&2; exit 1; }
    fi
done

if command -v lintian > /dev/null; then
    # Errors and warnings fail; the information tags we chose are listed in README.md.
    lintian --fail-on error,warning --tag-display-limit 0 -I "$deb" > "$work/lintian" 2>&1 ||
        { cat "$work/lintian" >&2; exit 1; }
    # Its hardening checks are information tags, and must not appear either (the fortified
    # functions, which readelf alone cannot tell).
    if grep -E '^[EWI]: .*(hardening-|binary-has-unneeded-section|unstripped)' "$work/lintian"; then
        exit 1
    fi
    cat "$work/lintian"
else
    echo "lintian is not installed: the package was not checked with it"
fi
