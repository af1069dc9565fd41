#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Calidra and runs every test.
#   scripts/test.sh            the normal build, in build/
#   scripts/test.sh --sanitize AddressSanitizer and UndefinedBehaviorSanitizer, in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."

"$PWD/scripts/install-deps.sh" --test

build=build
options=(-DCALIDRA_BUILD_TESTS=ON -DCALIDRA_BUILD_BENCHMARKS=ON)
if [ "${1:-}" = "--sanitize" ]; then
    build=build-sanitize
    options=(-DCALIDRA_SANITIZE=ON -DCALIDRA_BUILD_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug)
fi

cmake -S . -B "$build" -G Ninja "${options[@]}"
cmake --build "$build"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure --timeout 120 -j "$(nproc)"
