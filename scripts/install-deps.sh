#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages Calidra needs to build and run; with
# --package also what making and checking its Debian package needs, and with
# --test that and what its tests, benchmarks and fuzz targets need.
# Packages already present are left alone; apt is asked only when one is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-l10n-tools libgl-dev
    libssl-dev libplist-dev
    policykit-1 kmod fonts-dejavu-core
)
if [ "${1:-}" = "--test" ] || [ "${1:-}" = "--package" ]; then
    packages+=(dpkg-dev librsvg2-bin lintian desktop-file-utils appstream libxml2-utils)
fi
if [ "${1:-}" = "--test" ]; then
    packages+=(
        clang-format clang libclang-rt-14-dev
        libgtest-dev libgmock-dev libbenchmark-dev
        dbus-daemon xvfb xauth trayer xdotool imagemagick
    )
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" \
        || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
