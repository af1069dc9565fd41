#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: translation_source_is_current.sh COMMITTED_TS BUILD_DIR LUPDATE ARGS...
# Runs "LUPDATE ARGS... COPY" on a copy of the committed translation source and
# fails, showing the difference, when the copy changed: a text was added,
# changed or removed in the sources without updating the file.
committed=$1
build_dir=$2
shift 2
if [ ! -x "$1" ]; then
    echo "lupdate not found ($1): skipped"
    exit 77
fi
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
copy=$work/$(basename "$committed")
cp "$committed" "$copy" || exit 1
"$@" "$copy" || exit 1
if ! diff -u "$committed" "$copy"; then
    echo "$committed is out of date; update it with:"
    echo "    cmake --build $build_dir --target calidra_update_translations"
    exit 1
fi
