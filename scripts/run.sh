#!/usr/bin/env bash
# Starts the program from a build folder: the window when it has been built,
# else the command-line front end's help.
set -euo pipefail
build=${1:-build}
if [[ -x $build/corvane ]]; then
    exec "$build/corvane"
fi
exec "$build/corvane-cli" --help
