#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What Calidra costs the machine, measured beside psensor over the same fake
# sensor, and printed as Markdown tables of medians:
#
#   sudo scripts/cost.sh [--runs N] [--hosts LIST] [--binary PATH] [--out DIR]
#                        [--skip LIST] SECONDS
#
# SECONDS    how long each measurement lasts (60 gives the figures of record)
# --runs     measurements of each kind, default 3; the tables give medians
# --hosts    comma-separated, default trayer,xfce
# --binary   default build/Calidra/calidra (its Resources/ beside it)
# --out      logs and the raw figures of every run, default build/cost/
# --skip     comma-separated parts to leave out: pair, window, startup
#
# Needs root (the fake sensor's mounts, see fake-sensors.sh) and psensor
# (apt-get install psensor). Each host runs in a private session: a private
# home, Xvfb and session bus (lib/desktop-session.sh), with trayer (XEmbed)
# or the Xfce panel (StatusNotifierItem). The parts:
#
#   pair     Calidra and psensor, both at their 2 s interval, started
#            together by lib/side-by-side.sh inside one fake-sensors.sh, so
#            that both read the same fake coretemp: once while its value
#            changes every second, once with it fixed (fake-sensors.sh
#            --fixed). psensor hides its window at start (its
#            interface-hide-on-startup), so both live in the tray alone.
#            Three floors run beside them, built from lib/floors/: a C loop
#            that only reads the sensor's file every 2 s, and a Qt tray icon
#            with the same timer whose icon never changes or switches
#            between two icons drawn at its start. No program that samples
#            every 2 s costs less than the first, and no Qt tray program
#            whose icon changes less than the last.
#   window   Calidra alone on the StatusNotifierItem host (xfce): the same
#            time with the statistics window closed, then open (opened by the
#            item's Activate, as a panel's click does).
#   startup  Calidra alone on trayer: from its start to its XEmbed icon
#            mapped (polled every few milliseconds), and its resident memory
#            ten seconds after the start.
#
# Each measurement begins `settle` seconds after the programs show, past
# their start-up. CPU is the sum over every thread of the time on a
# processor (/proc/PID/task/*/schedstat, first field) between the start and
# the end of the measurement; threads that end in between are missed.
# Wake-ups are the times a thread was put on a processor (schedstat's third
# field), switches the voluntary and involuntary context switches of every
# thread (/proc/PID/task/*/status), both per second; RSS is VmRSS at the end.
# Run it on a machine as quiet as can be had: both programs of a pair see
# the same load, but the window's two halves and the start-ups do not.
set -euo pipefail

here=$(dirname "$(realpath "$0")")
source "$here/lib/desktop-session.sh"

readonly width=1280 height=800 settle=10 window_settle=3 startup_limit=20 rss_delay=10

usage() {
    sed -n '6,15s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

runs=3 hosts='trayer xfce' binary=build/Calidra/calidra out=build/cost skip='' seconds=''
while (($# > 0)); do
    case $1 in
    --runs) runs=$2 && shift ;;
    --hosts) hosts=${2//,/ } && shift ;;
    --binary) binary=$2 && shift ;;
    --out) out=$2 && shift ;;
    --skip) skip=${2//,/ } && shift ;;
    -*) usage ;;
    *) seconds=$1 ;;
    esac
    shift
done
[[ $seconds =~ ^[1-9][0-9]*$ && $runs =~ ^[1-9][0-9]*$ ]] || usage
for host in $hosts; do
    [[ $host == trayer || $host == xfce ]] || usage
done
if [[ $EUID -ne 0 ]]; then
    echo "$0: needs root, for the fake sensor's mounts" >&2
    exit 1
fi
psensor=$(command -v psensor) || {
    echo "$0: psensor is not installed (apt-get install psensor)" >&2
    exit 1
}
binary=$(realpath "$binary")
[[ -x $binary ]] || {
    echo "$0: no program at $binary" >&2
    exit 1
}
mkdir -p "$out"
out=$(realpath "$out")
readonly runs hosts binary out skip seconds psensor

# ---------------------------------------------------------------- floors

floors=$out/floors
mkdir -p "$floors"
cc -O2 -o "$floors/read-loop" "$here/lib/floors/read-loop.c"
read -ra qt_flags <<<"$(pkg-config --cflags --libs Qt6Widgets)"
c++ -O2 -std=c++17 -fPIC -o "$floors/tray-icon" "$here/lib/floors/tray-icon.cpp" "${qt_flags[@]}"
c++ -O2 -std=c++17 -fPIC -DSWITCHING -o "$floors/tray-icon-switching" \
    "$here/lib/floors/tray-icon.cpp" "${qt_flags[@]}"
readonly floors floor_names=(read-loop tray-icon tray-icon-switching)

wants() {
    [[ " $skip " != *" $1 "* ]]
}

# ---------------------------------------------------------------- measuring

# One line per thread of the process: its id, nanoseconds on a processor,
# times put on one, and context switches.
threads_of() {
    local task cpu slices rest switches
    for task in /proc/"$1"/task/*; do
        read -r cpu rest slices <"$task/schedstat" 2>/dev/null || continue
        switches=$(awk '/ctxt_switches/ { s += $2 } END { print s + 0 }' "$task/status" \
            2>/dev/null) || continue
        echo "${task##*/} $cpu $slices $switches"
    done
}

rss_of() {
    awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"
}

# measure SECONDS NAME=PID...: after SECONDS, prints per process "NAME cpu_ms
# wakeups/s switches/s rss_mb".
measure() {
    local time=$1 entry
    shift
    for entry in "$@"; do
        threads_of "${entry#*=}" >"$session/start.${entry%%=*}"
    done
    sleep "$time"
    for entry in "$@"; do
        threads_of "${entry#*=}" >"$session/end.${entry%%=*}"
        awk -v name="${entry%%=*}" -v time="$time" -v rss="$(rss_of "${entry#*=}")" '
            NR == FNR { cpu[$1] = $2; slices[$1] = $3; switches[$1] = $4; next }
            { c += $2 - cpu[$1]; s += $3 - slices[$1]; w += $4 - switches[$1] }
            END { printf "%s %.2f %.3f %.3f %s\n", name, c / 1e6, s / time, w / time, rss }
        ' "$session/start.${entry%%=*}" "$session/end.${entry%%=*}"
    done
}

# ---------------------------------------------------------------- programs

# Starts the given programs side by side over the fake sensor (with
# --fixed first for a fixed value).
start_programs() {
    local fixed=()
    if [[ $1 == --fixed ]]; then
        fixed=(--fixed)
        shift
    fi
    : >"$session/started"
    "$here/fake-sensors.sh" "${fixed[@]}" "$here/lib/side-by-side.sh" "$session/started" "$@" \
        >>"$dir/programs.log" 2>&1 &
    runner=$!
}

stop_programs() {
    stop_tree "$runner"
    wait "$runner" 2>/dev/null || true
    runner=''
}

# pid_of NAME: the pid side-by-side.sh recorded for the program.
pid_of() {
    awk -v name="$1" '$1 == name { print $2 }' "$session/started"
}

started_at() {
    awk -v name="$1" '$1 == name { print $3 }' "$session/started"
}

calidra_name() {
    basename "$binary"
}

# Whether Calidra's item shows: its XEmbed icon mapped, or the watcher
# listing one of its connections.
calidra_shows() {
    local pid
    pid=$(pid_of "$(calidra_name)")
    [[ -n $pid ]] || return 1
    if [[ $host == trayer ]]; then
        xdotool search --onlyvisible --pid "$pid" --name '^Calidra$' >/dev/null 2>&1
        return
    fi
    [[ -n $(listed_name "$pid") ]]
}

psensor_started() {
    [[ -n $(pid_of psensor) ]]
}

# The bus name under which the watcher lists the item of the given process;
# nothing while it lists none. Watchers list "name" or "name/path".
listed_name() {
    local names entry
    names=$(busctl --user --json=short list 2>/dev/null |
        jq -r --argjson pid "$1" '.[] | select(.pid == $pid) | .name')
    [[ -n $names ]] || return 0
    busctl --user --json=short get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems 2>/dev/null |
        jq -r '.data[]' | while read -r entry; do
        if grep -qxF "${entry%%/*}" <<<"$names"; then
            echo "${entry%%/*}"
            break
        fi
    done || true
}

# ---------------------------------------------------------------- parts

# Calidra and psensor over the same sensor, changing and fixed.
measure_pair() {
    local run mode fixed calidra name floor_entries
    calidra=$(calidra_name)
    for ((run = 1; run <= runs; run++)); do
        for mode in changing fixed; do
            fixed=()
            [[ $mode == changing ]] || fixed=(--fixed)
            start_programs "${fixed[@]}" "$binary" "$psensor" "${floor_names[@]/#/$floors/}"
            if wait_for "Calidra's item" 30 calidra_shows &&
                wait_for "psensor" 10 psensor_started; then
                sleep "$settle"
                floor_entries=()
                for name in "${floor_names[@]}"; do
                    floor_entries+=("$name=$(pid_of "$name")")
                done
                measure "$seconds" "Calidra=$(pid_of "$calidra")" "psensor=$(pid_of psensor)" \
                    "${floor_entries[@]}" |
                    sed "s/^/pair $host $mode /" | tee -a "$out/raw" >&2
            fi
            stop_programs
        done
    done
}

statistics_open() {
    xdotool search --onlyvisible --name '^Calidra Statistics$' >/dev/null 2>&1
}

# Calidra alone, its statistics window closed, then open.
measure_window() {
    local run pid name
    for ((run = 1; run <= runs; run++)); do
        start_programs "$binary"
        if wait_for "Calidra's item" 30 calidra_shows; then
            pid=$(pid_of "$(calidra_name)")
            sleep "$settle"
            measure "$seconds" "Calidra=$pid" | sed "s/^/window $host closed /" |
                tee -a "$out/raw" >&2
            name=$(listed_name "$pid")
            busctl --user call "$name" /StatusNotifierItem org.kde.StatusNotifierItem \
                Activate ii 0 0 >/dev/null
            if wait_for "the statistics window" 10 statistics_open; then
                sleep "$window_settle"
                measure "$seconds" "Calidra=$pid" | sed "s/^/window $host open /" |
                    tee -a "$out/raw" >&2
            fi
        fi
        stop_programs
    done
}

# Calidra alone: from its start to its icon, and its memory after a while.
measure_startup() {
    local run pid shown_at
    for ((run = 1; run <= runs; run++)); do
        start_programs "$binary"
        shown_at=''
        for ((tries = startup_limit * 100; tries > 0; tries--)); do
            if calidra_shows; then
                shown_at=$(date +%s%N)
                break
            fi
            sleep 0.005
        done
        if [[ -n $shown_at ]]; then
            pid=$(pid_of "$(calidra_name)")
            sleep $((rss_delay - (shown_at - $(started_at "$(calidra_name)")) / 1000000000))
            echo "startup $host - Calidra $(((shown_at - $(started_at "$(calidra_name)")) / 1000000)) $(rss_of "$pid")" |
                tee -a "$out/raw" >&2
        fi
        stop_programs
    done
}

# ---------------------------------------------------------------- one host

host_session() (
    host=$1
    dir=$out/$host
    rm -rf "$dir"
    mkdir -p "$dir"
    session=$(mktemp -d /tmp/cost.XXXXXX)
    host_log=$dir/panel.log
    runner=''
    trap 'stop_descendants $BASHPID; rm -rf "$session"' EXIT
    trap 'exit 143' INT TERM HUP
    export LANG=C.UTF-8
    unset LC_ALL LANGUAGE
    private_home "$session"
    private_x_server "$session" "${width}x$height"
    private_buses "$session"
    gsettings set psensor interface-hide-on-startup true
    "host_prepare_$host"
    "host_panel_$host"
    sleep 2
    if wants pair; then
        measure_pair
    fi
    if [[ $host == xfce ]] && wants window; then
        measure_window
    fi
    if [[ $host == trayer ]] && wants startup; then
        measure_startup
    fi
)

# ---------------------------------------------------------------- tables

# The median of each column from the third on of the raw lines that start
# with the given words; nothing where none does (a part skipped or failed).
medians() {
    { grep "^$1 " "$out/raw" || true; } | awk -v skip="$(wc -w <<<"$1")" '
        { for (i = skip + 1; i <= NF; i++) v[i, ++n[i]] = $i; last = NF }
        END {
            for (i = skip + 1; i <= last; i++) {
                m = n[i]; delete s
                for (k = 1; k <= m; k++) s[k] = v[i, k]
                # insertion sort: a handful of runs
                for (a = 2; a <= m; a++) for (b = a; b > 1 && s[b - 1] > s[b]; b--) {
                    t = s[b]; s[b] = s[b - 1]; s[b - 1] = t }
                printf "%s%s", (i > skip + 1 ? " " : ""), (m % 2 ? s[(m + 1) / 2] : (s[m / 2] + s[m / 2 + 1]) / 2)
            }
            print ""
        }'
}

floor_title() {
    case $1 in
    read-loop) echo 'a C loop that reads the file' ;;
    tray-icon) echo 'a Qt tray icon that never changes' ;;
    tray-icon-switching) echo 'a Qt tray icon switching two drawn icons' ;;
    esac
}

pair_table() {
    local host=$1 mode=$2 calidra others name cpu wakeups rss
    calidra=$(medians "pair $host $mode Calidra")
    others=$(medians "pair $host $mode psensor")
    [[ -n $calidra && -n $others ]] || return 0
    echo
    echo "$host, value $mode, $seconds s, medians of $runs:"
    echo
    echo "| program | CPU ms / $seconds s | wake-ups/s | RSS MB |"
    echo '|---|---|---|---|'
    for row in "Calidra $calidra" "psensor $others"; do
        read -r name cpu wakeups _ rss <<<"$row"
        echo "| $name | $cpu | $wakeups | $rss |"
    done
    for name in "${floor_names[@]}"; do
        read -r cpu wakeups _ rss <<<"$(medians "pair $host $mode $name")"
        [[ -z $cpu ]] || echo "| floor: $(floor_title "$name") | $cpu | $wakeups | $rss |"
    done
    read -r ccpu cwake _ <<<"$calidra"
    read -r pcpu pwake _ <<<"$others"
    awk -v c="$ccpu" -v p="$pcpu" -v cw="$cwake" -v pw="$pwake" 'BEGIN {
        printf "\nCalidra / psensor: CPU %.3f (1/%.1f), wake-ups %.3f\n",
            (p > 0 ? c / p : 0), (c > 0 ? p / c : 0), (pw > 0 ? cw / pw : 0) }'
}

window_table() {
    local closed open
    closed=$(medians "window xfce closed Calidra")
    open=$(medians "window xfce open Calidra")
    [[ -n $closed && -n $open ]] || return 0
    echo
    echo "Statistics window, xfce, value changing, $seconds s, medians of $runs:"
    echo
    echo "| window | CPU ms / $seconds s | wake-ups/s | switches/s | RSS MB |"
    echo '|---|---|---|---|---|'
    for row in "closed $closed" "open $open"; do
        read -r name cpu wakeups switches rss <<<"$row"
        echo "| $name | $cpu | $wakeups | $switches | $rss |"
    done
    read -r ccpu _ cswitch _ <<<"$closed"
    read -r ocpu _ oswitch _ <<<"$open"
    awk -v c="$ccpu" -v o="$ocpu" -v cs="$cswitch" -v os="$oswitch" 'BEGIN {
        printf "\nopen / closed: CPU %.2f, switches %.2f\n", (c > 0 ? o / c : 0), (cs > 0 ? os / cs : 0) }'
}

startup_table() {
    local figures
    figures=$(medians "startup trayer - Calidra")
    [[ -n $figures ]] || return 0
    read -r ms rss <<<"$figures"
    echo
    echo "Start-up on trayer, medians of $runs: $ms ms to the icon, RSS $rss MB after ${rss_delay} s"
}

session_pid=''
trap '[[ -z $session_pid ]] || { kill -TERM "$session_pid"; wait "$session_pid"; }; exit 130' \
    INT TERM HUP
: >"$out/raw"
for host in $hosts; do
    host_session "$host" 2>"$out/$host.log" &
    session_pid=$!
    wait "$session_pid" || echo "$host: could not run: $(tail -n 1 "$out/$host.log")" >&2
    session_pid=''
done
for host in $hosts; do
    pair_table "$host" changing
    pair_table "$host" fixed
done
window_table
startup_table
echo
echo "raw figures and logs: $out"
