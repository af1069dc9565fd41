#!/usr/bin/env bash
# Installs the Debian 12 packages Calidra needs to build, test and run.
# Packages already present are left alone; apt is asked only when one is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config clang-format
    clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-l10n-tools libgl-dev
    libssl-dev libplist-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    policykit-1 kmod
    dbus-daemon fonts-dejavu-core
    xvfb xauth trayer xdotool imagemagick
)

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
