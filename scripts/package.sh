#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Calidra without its tests and benchmarks in
# build-package/ and makes its Debian package there
# (calidra_VERSION_ARCH.deb), then shows what lintian says of it.
set -euo pipefail
cd "$(dirname "$0")/.."

"$PWD/scripts/install-deps.sh" --package

build=build-package
cmake -S . -B "$build" -G Ninja \
    -DCALIDRA_BUILD_TESTS=OFF -DCALIDRA_BUILD_BENCHMARKS=OFF -DCALIDRA_BUILD_FUZZERS=OFF
cmake --build "$build"
cpack --config "$build/CPackConfig.cmake" -B "$build"
lintian --pedantic "$build"/calidra_*.deb
