#!/usr/bin/env bash
# corvane-cli must start without loading Qt: no libQt6 among the libraries its ELF dynamic section
# names. Its save module is the one part that needs Qt Core, which also shows the check can see it.
set -euo pipefail
cli=$1
module=$2
needed() {
    readelf --dynamic --wide "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p'
}
cli_needs=$(needed "$cli")
grep -qx 'libc\.so\.[0-9]*' <<< "$cli_needs" || { echo "cannot read the libraries of $cli" >&2; exit 1; }
if grep -i 'qt' <<< "$cli_needs"; then
    echo "$cli needs Qt libraries (above); only its save module may" >&2
    exit 1
fi
grep -qx 'libQt6Core\.so\.[0-9]*' <<< "$(needed "$module")" || { echo "$module does not name libQt6Core" >&2; exit 1; }
