#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing on Debian 12 for building and running (not the test
# tools), builds Calidra and starts it from its bundle in build/Calidra. The
# desktop needs a system tray (a StatusNotifierItem host or an XEmbed tray) to
# show it.
set -euo pipefail
cd "$(dirname "$0")/.."

"$PWD/scripts/install-deps.sh"
cmake -S . -B build -G Ninja -DCALIDRA_BUILD_TESTS=OFF -DCALIDRA_BUILD_BENCHMARKS=OFF
cmake --build build --target calidra calidra_translations
exec build/Calidra/calidra
