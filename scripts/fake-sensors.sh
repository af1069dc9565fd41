#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command, as root, in a private mount namespace in which this machine
# looks like an Intel PC with its processor temperature driver loaded, so that
# Calidra shows real-looking readings on any machine:
#
#   sudo scripts/fake-sensors.sh [--no-driver] [--fixed] build/Calidra/calidra
#
# Fixture files are bind-mounted over what the program reads from "/":
# /proc/cpuinfo (GenuineIntel, one block per online processor, "cpu MHz"),
# /sys/class/hwmon (hwmon0 named coretemp: "Package id 0" and one "Core N"
# channel per processor) and the first online processor's
# cpufreq/scaling_cur_freq. A folder that does not exist on this machine is
# made to exist by laying a tmpfs over its parent that shows the parent's own
# entries again beside the new one. A loop outside the namespace rewrites the
# readings every second: a slow wave between 45 and 75 °C, four minutes long,
# with noise, and a frequency that follows it. With coretemp listed among the
# hwmon devices the driver counts as loaded, so the program does not offer to
# install it at start. With --no-driver the hwmon folder is empty: an Intel PC
# whose temperature driver is not loaded, as on a first start. With --fixed the
# readings of the first second stay as they are: no loop rewrites them (what
# a program costs while nothing it shows changes). The mounts end with the
# namespace; the fixture folder and the loop end with this script.
#
# The environment is kept (DISPLAY, the session bus); only an unset
# XDG_CONFIG_HOME is pointed into the fixture, so that the program's settings
# stay apart from root's own.
set -euo pipefail

# Makes parent/name show source. Where parent/name does not exist, the parent
# becomes a tmpfs with every original entry mounted or linked back into it.
graft() {
    local parent=$1 name=$2 source=$3 keep=$4 entry
    if [[ -e $parent/$name ]]; then
        mount --bind "$source" "$parent/$name"
        return
    fi
    mkdir -p "$keep"
    mount --bind "$parent" "$keep"
    mount -t tmpfs -o mode=755 tmpfs "$parent"
    for entry in "$keep"/*; do
        local target=$parent/${entry##*/}
        if [[ -L $entry ]]; then
            ln -s "$(readlink "$entry")" "$target"
        elif [[ -d $entry ]]; then
            mkdir "$target" && mount --bind "$entry" "$target"
        else
            touch "$target" && mount --bind "$entry" "$target"
        fi
    done
    mkdir "$parent/$name"
    mount --bind "$source" "$parent/$name"
}

# The first number of the kernel's online-processor list ("0-3,8" gives 0).
first_online() {
    local list
    list=$(cat /sys/devices/system/cpu/online 2>/dev/null || echo 0)
    echo "${list%%[-,]*}"
}

# Second stage, inside the namespace: lay the fixture over the system.
if [[ ${1:-} == --in-namespace ]]; then
    fixture=$2
    shift 2
    mount --bind "$fixture/cpuinfo" /proc/cpuinfo
    graft /sys/class hwmon "$fixture/hwmon" "$fixture/keep/class"
    cpu=/sys/devices/system/cpu/cpu$(first_online)
    if [[ -e $cpu/cpufreq ]]; then
        graft "$cpu/cpufreq" scaling_cur_freq "$fixture/cpufreq/scaling_cur_freq" \
            "$fixture/keep/cpufreq"
    else
        graft "$cpu" cpufreq "$fixture/cpufreq" "$fixture/keep/cpu"
    fi
    exec "$@"
fi

driver=true fixed=false
while [[ ${1:-} == --no-driver || ${1:-} == --fixed ]]; do
    case $1 in
    --no-driver) driver=false ;;
    --fixed) fixed=true ;;
    esac
    shift
done
if [[ $# -lt 1 ]]; then
    echo "usage: $0 [--no-driver] [--fixed] COMMAND [ARGS...]" >&2
    exit 2
fi
if [[ $EUID -ne 0 ]]; then
    echo "$0: needs root for the mount namespace and its bind mounts" >&2
    exit 1
fi

fixture=$(mktemp -d /tmp/fake-sensors.XXXXXX)
processors=$(getconf _NPROCESSORS_ONLN)
loop='' command=''

cleanup() {
    local pid
    for pid in $command $loop; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$fixture"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# Every value has a fixed number of digits, so that writing in place (<>, no
# truncation) never shows a reader a short or empty file: the program keeps
# these files open and reads them again from the start.
clamp() {
    local value=$1 low=$2 high=$3
    ((value < low)) && value=$low
    ((value > high)) && value=$high
    echo "$value"
}

noise() {
    echo $((RANDOM % ($1 * 2 + 1) - $1))
}

# Writes one set of readings for the given second.
write_readings() {
    local second=$1 phase wave millidegrees megahertz cpu
    phase=$((second % 240))
    wave=$((phase < 120 ? phase : 240 - phase))
    millidegrees=$(clamp $((45000 + wave * 250 + $(noise 1000))) 45000 75000)
    megahertz=$(clamp $((1200 + wave * 20 + $(noise 100))) 1200 3900)
    if $driver; then
        printf '%d\n' "$millidegrees" 1<>"$fixture/hwmon/hwmon0/temp1_input"
        for ((cpu = 0; cpu < processors; cpu++)); do
            printf '%d\n' "$(clamp $((millidegrees - $(noise 2000) - 2000)) 40000 75000)" \
                1<>"$fixture/hwmon/hwmon0/temp$((cpu + 2))_input"
        done
    fi
    printf '%d\n' $((megahertz * 1000)) 1<>"$fixture/cpufreq/scaling_cur_freq"
    for ((cpu = 0; cpu < processors; cpu++)); do
        printf 'processor\t: %d\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 158\n' "$cpu"
        printf 'model name\t: Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz\n'
        printf 'cpu MHz\t\t: %d.000\n\n' "$(clamp $((megahertz + $(noise 50))) 1200 3900)"
    done 1<>"$fixture/cpuinfo"
}

mkdir -p "$fixture/hwmon" "$fixture/cpufreq"
if $driver; then
    mkdir "$fixture/hwmon/hwmon0"
    echo coretemp >"$fixture/hwmon/hwmon0/name"
    echo "Package id 0" >"$fixture/hwmon/hwmon0/temp1_label"
    for ((cpu = 0; cpu < processors; cpu++)); do
        echo "Core $cpu" >"$fixture/hwmon/hwmon0/temp$((cpu + 2))_label"
    done
fi
write_readings 0

if ! $fixed; then
    (
        second=0
        while sleep 1; do
            second=$((second + 1))
            write_readings "$second"
        done
    ) &
    loop=$!
fi

export XDG_CONFIG_HOME=${XDG_CONFIG_HOME:-$fixture/config}
# In the background, so that a signal to this script runs its trap at once and
# the trap ends the command too.
unshare --mount --propagation private -- "$(realpath "$0")" --in-namespace "$fixture" "$@" &
command=$!
wait "$command"
