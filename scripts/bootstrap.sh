#!/usr/bin/env bash
# Makes sure the Debian packages Corvane needs to build and test are installed.
# As root it installs what is missing with apt-get; otherwise it prints the exact
# command to run and fails, so that `make` stops before a confusing build error.
set -euo pipefail

packages=(
    g++ clang cmake ninja-build make pkgconf clang-format
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev
    qt6-l10n-tools qt6-translations-l10n
    libgl-dev liburing-dev
    fonts-dejavu-extra
    desktop-file-utils appstream dpkg-dev lintian shared-mime-info libglib2.0-bin
    xfsprogs
    # The action safety tests: a kill at a chosen system call, a folder seen through a second mount.
    strace bindfs fuse3
)

missing=()
for pkg in "${packages[@]}"; do
    status=$(dpkg-query -W -f '${db:Status-Abbrev}' "$pkg" 2>/dev/null || true)
    [[ $status == ii* ]] || missing+=("$pkg")
done

if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
    echo "Corvane needs these packages: ${missing[*]}" >&2
    echo "Install them with:" >&2
    echo "    sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi

echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
if ! apt-get install -y --no-install-recommends "${missing[@]}"; then
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
