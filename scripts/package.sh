#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Calidra and makes its Debian package in
# build/ (calidra_VERSION_ARCH.deb), then shows what lintian says of it.
set -euo pipefail
cd "$(dirname "$0")/.."

"$PWD/scripts/install-deps.sh" --package

cmake -S . -B build -G Ninja
cmake --build build
cpack --config build/CPackConfig.cmake -B build
lintian --pedantic build/calidra_*.deb
