#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints, for each folder under src/, the folders its files include from and
# how many includes point at each, and exits 1 when a folder includes from a
# layer above its own, or when a folder has no layer here.
#
# The layers, lowest first (each library links only the ones below it):
#   0  support
#   1  platform, platform/qt, platform/linux, platform/plist, platform/tray
#   2  text, hardware, defaults, formatting, measurement
#   3  app, kext, preferences, statistics_window, uninstall
# A quoted include with a "/" names a folder below src/ ("platform/Bundle.h");
# one without names a file of the including folder (a generated "ui_*.h" too).
set -euo pipefail

src=$(cd "$(dirname "$0")/../src" && pwd)

layer_of() {
    case $1 in
    support) echo 0 ;;
    platform | platform/qt | platform/linux | platform/plist | platform/tray) echo 1 ;;
    text | hardware | defaults | formatting | measurement) echo 2 ;;
    app | kext | preferences | statistics_window | uninstall) echo 3 ;;
    *) echo none ;;
    esac
}

declare -A counts=()
failed=0

# Every folder that holds a source or header, so that one including nothing
# from elsewhere is listed too.
mapfile -t folders < <(cd "$src" && find . -type f \( -name '*.h' -o -name '*.cpp' \) \
    -printf '%h\n' | sed 's|^\./||' | sort -u)

for folder in "${folders[@]}"; do
    if [ "$(layer_of "$folder")" = none ]; then
        echo "error: src/$folder has no layer in $(basename "$0")" >&2
        failed=1
    fi
done

while IFS= read -r -d '' file; do
    from=$(dirname "${file#"$src"/}")
    from_layer=$(layer_of "$from")
    while IFS= read -r included; do
        case $included in
        */*) to=$(dirname "$included") ;;
        *) to=$from ;;
        esac
        [ "$to" = "$from" ] && continue
        counts["$from|$to"]=$((${counts["$from|$to"]:-0} + 1))
        to_layer=$(layer_of "$to")
        if [ "$to_layer" = none ] || [ "$from_layer" = none ]; then
            [ "$to_layer" = none ] &&
                echo "error: ${file#"$src"/} includes \"$included\" from a folder with no layer" >&2
            failed=1
        elif [ "$to_layer" -gt "$from_layer" ]; then
            echo "error: ${file#"$src"/} (layer $from_layer) includes \"$included\" (layer $to_layer)" >&2
            failed=1
        fi
    done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

for folder in "${folders[@]}"; do
    line=""
    for key in "${!counts[@]}"; do
        [ "${key%%|*}" = "$folder" ] && line+="${key#*|} ${counts[$key]}"$'\n'
    done
    printf '%s (layer %s) includes from:' "$folder" "$(layer_of "$folder")"
    if [ -z "$line" ]; then
        printf ' nothing else\n'
    else
        printf '%s' "$line" | sort | awk '{ printf " %s %s", $1, $2 } END { print "" }'
    fi
done

exit "$failed"
