#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts programs side by side and waits for them, so that they share one
# environment (cost.sh runs it inside fake-sensors.sh, where every program
# sees the same fake sensor):
#
#   side-by-side.sh RECORD PROGRAM...
#
# Each PROGRAM is one command without arguments. RECORD gets one line per
# program as it starts: its name, its pid and the time just before it was
# started, in nanoseconds since the epoch. A TERM, INT or HUP ends them all.
set -euo pipefail

record=$1
shift
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; exit 143' TERM INT HUP
for program in "$@"; do
    started=$(date +%s%N)
    "$program" &
    pids+=("$!")
    echo "${program##*/} $! $started" >>"$record"
done
wait
