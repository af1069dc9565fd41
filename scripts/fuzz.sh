#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang in build-fuzz/ and runs each in turn,
# one process at a time, on its committed seeds in fuzz/corpus/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]   SECONDS per target (default 20);
#                                           TARGETs: kernel_text property_list
#                                           regex registry_path tray_bus
#                                           (default all)
# New inputs are kept in build-fuzz/corpus/TARGET/, so the committed seeds stay
# as they are. Crashes, timeouts and out-of-memory inputs of this run land in
# build-fuzz/crashes/ (emptied at the start); the script names them and exits
# non-zero when there are any.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(kernel_text property_list regex registry_path tray_bus)

"$PWD/scripts/install-deps.sh" --test

build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCALIDRA_BUILD_FUZZERS=ON -DCALIDRA_BUILD_TESTS=OFF -DCALIDRA_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

crashes="$PWD/$build/crashes"
rm -rf "$crashes"
mkdir -p "$crashes"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
failed=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    # The bus target bounds each call's time and allocations itself; beyond
    # that, no single allocation of it may pass 128 MiB (its input's longest
    # lists take some 40 MiB, a call's reply a few kilobytes).
    limits=()
    [ "$target" = tray_bus ] && limits=(-malloc_limit_mb=128)
    echo "== fuzz_$target for $seconds s"
    "$build/fuzz/fuzz_$target" "$corpus" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "${limits[@]}" \
        -print_final_stats=1 -artifact_prefix="$crashes/$target-" || failed=1
done

found=$(find "$crashes" -type f | sort)
if [ -n "$found" ] || [ "$failed" -ne 0 ]; then
    echo "Fuzzing found problems; the inputs are in $crashes:"
    echo "$found"
    exit 1
fi
echo "Fuzzing found nothing."
