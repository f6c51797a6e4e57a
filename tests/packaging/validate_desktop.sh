#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo must pass the freedesktop validators.
set -euo pipefail
resources=$1
desktop-file-validate "$resources/desktop/corvane.desktop"
appstreamcli validate --no-net "$resources/desktop/io.github.corvane.Corvane.metainfo.xml"
