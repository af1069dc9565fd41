#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command, as root, in a private mount namespace in which this machine
# looks like an Intel PC with its processor temperature driver loaded, so that
# Calidra shows real-looking readings on any machine:
#
#   sudo scripts/fake-sensors.sh [--no-driver] [--fixed] [--more-sensors] build/Calidra/calidra
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
# a program costs while nothing it shows changes). With --more-sensors the
# machine also has, as hwmon1 to hwmon3, an amdgpu graphics card ("edge",
# "junction", "mem": a faster wave between 40 and 80 °C), an NVMe drive
# ("Composite", "Sensor 1", "Sensor 2": 35 to 50 °C) and a board chip
# (nct6798: "SYSTIN", "CPUTIN" and a broken "AUXTIN0"), for the preferences'
# sensor list; being fixtures, they have no `device` links. The mounts end
# with the namespace; the fixture folder and the loop end with this script.
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

driver=true fixed=false more=false
while [[ ${1:-} == --no-driver || ${1:-} == --fixed || ${1:-} == --more-sensors ]]; do
    case $1 in
    --no-driver) driver=false ;;
    --fixed) fixed=true ;;
    --more-sensors) more=true ;;
    esac
    shift
done
if [[ $# -lt 1 ]]; then
    echo "usage: $0 [--no-driver] [--fixed] [--more-sensors] COMMAND [ARGS...]" >&2
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

# A triangle wave of the second: 0 up to `half` and back, `half * 2` seconds long.
triangle() {
    local phase=$(($1 % ($2 * 2)))
    echo $((phase < $2 ? phase : $2 * 2 - phase))
}

# Writes the readings of the other devices for the given second.
write_more_readings() {
    local second=$1 gpu drive board
    gpu=$(clamp $((40000 + $(triangle "$second" 90) * 444 + $(noise 800))) 40000 80000)
    drive=$(clamp $((35000 + $(triangle "$second" 150) * 100 + $(noise 300))) 35000 50000)
    board=$(clamp $((30000 + $(triangle "$second" 200) * 50 + $(noise 200))) 30000 40000)
    printf '%d\n' "$gpu" 1<>"$fixture/hwmon/hwmon1/temp1_input"
    printf '%d\n' $((gpu + 6000)) 1<>"$fixture/hwmon/hwmon1/temp2_input"
    printf '%d\n' $((gpu + 4000)) 1<>"$fixture/hwmon/hwmon1/temp3_input"
    printf '%d\n' "$drive" 1<>"$fixture/hwmon/hwmon2/temp1_input"
    printf '%d\n' "$drive" 1<>"$fixture/hwmon/hwmon2/temp2_input"
    printf '%d\n' $((drive + 6000)) 1<>"$fixture/hwmon/hwmon2/temp3_input"
    printf '%d\n' "$board" 1<>"$fixture/hwmon/hwmon3/temp1_input"
    printf '%d\n' $((board + 6000)) 1<>"$fixture/hwmon/hwmon3/temp2_input"
}

# A hwmon device of the fixture: hwmon<number> with the driver's name and the
# given labels of temp1, temp2...
add_hwmon() {
    local folder=$fixture/hwmon/hwmon$1 name=$2 channel=0 label
    shift 2
    mkdir "$folder"
    echo "$name" >"$folder/name"
    for label in "$@"; do
        channel=$((channel + 1))
        echo "$label" >"$folder/temp${channel}_label"
        echo 00000 >"$folder/temp${channel}_input"
    done
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
    if $more; then
        write_more_readings "$second"
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
if $more; then
    add_hwmon 1 amdgpu edge junction mem
    add_hwmon 2 nvme Composite "Sensor 1" "Sensor 2"
    add_hwmon 3 nct6798 SYSTIN CPUTIN AUXTIN0
    echo -62000 >"$fixture/hwmon/hwmon3/temp3_input"
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
