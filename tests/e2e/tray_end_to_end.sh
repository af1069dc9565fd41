#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program in a real tray: under Xvfb with trayer as the tray, in a
# private mount namespace whose /sys holds a coretemp sensor at 47 degrees and
# whose /proc/cpuinfo names an Intel processor. Calidra must show its tray
# icon, live through its sensor file vanishing and coming back, and exit with
# 0 when it is asked to end, at every moment: started with SIGHUP ignored
# (as under nohup), it keeps ignoring it; a stream of SIGTERMs during its end
# changes nothing; SIGTERM during a start-up alert ends it too (its settings
# come from the file name earlier versions used, which is moved). A FIFO where
# its settings file should be does not hold start-up up. Last, on a session
# bus of its own with a panel that hosts StatusNotifierItems, it must publish
# its item with its menu's texts, open the statistics window when the panel
# activates it, publish it again when the panel restarts, and end when the
# panel's menu is clicked on Quit. Exits with 77 (skipped) where this cannot
# run.
set -u
calidra=$1
tray_available=$2
fake_panel=$3

skip() { echo "skipped: $*"; exit 77; }
fail() { echo "failed: $*"; exit 1; }

[ "$(id -u)" = 0 ] || skip "binding a fixture over /sys needs root"
for tool in Xvfb trayer xdotool unshare; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
unshare --mount --propagation private true 2>/dev/null || skip "no private mount namespace here"

work=$(mktemp -d)
app= tray= xvfb= bus= panel=
cleanup() {
    for pid in $app $panel $bus $tray $xvfb; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

hwmon="$work/sys/class/hwmon/hwmon0"
mkdir -p "$hwmon" "$work/sys/devices/system/cpu" "$work/config" "$work/alert/Calidra" \
    "$work/fifo/Calidra"
echo coretemp >"$hwmon/name"
echo "Package id 0" >"$hwmon/temp1_label"
echo 47000 >"$hwmon/temp1_input"
echo 0 >"$work/sys/devices/system/cpu/online"
printf 'processor\t: 0\nvendor_id\t: GenuineIntel\n' >"$work/cpuinfo"
# Under the name earlier versions used: it is moved to Calidra.conf and read.
printf '[General]\ngaugeTemperature=false\n' >"$work/alert/Calidra/Calidra.ini"
mkfifo "$work/fifo/Calidra/Calidra.conf"

# Polls up to 30 seconds, ten times a second, until the command succeeds.
poll() {
    for _ in $(seq 300); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
poll test -s "$work/display" || skip "Xvfb did not start"
DISPLAY=:$(cat "$work/display")
QT_QPA_PLATFORM=xcb
export DISPLAY QT_QPA_PLATFORM
trayer --edge top --align right --height 28 >/dev/null 2>&1 &
tray=$!
poll "$tray_available" || fail "the tray did not take its selection"

# Starts Calidra with the settings of the config home $1; its pid is app.
start() {
    XDG_CONFIG_HOME="$1" unshare --mount --propagation private sh -c \
        'mount --bind "$1/sys" /sys && mount --bind "$1/cpuinfo" /proc/cpuinfo && exec "$2"' \
        sh "$work" "$calidra" &
    app=$!
}
# Whether Calidra shows a window: its tray icon, or an alert before it. (Its
# hidden client leader window bears its name from the start.)
shown() { xdotool search --onlyvisible --pid "$app" >/dev/null 2>&1; }
# Waits for Calidra's end; fails unless it exited with 0.
ended() {
    wait "$app"
    status=$?
    app=
    [ "$status" = 0 ] || fail "exit status $status $1"
}
ended_already() { read -r stat <"/proc/$app/stat" && set -- $stat && [ "$3" = Z ]; }

trap '' HUP
start "$work/config"
trap - HUP
poll shown || fail "no tray icon appeared"
ignored=$(sed -n 's/^SigIgn:[[:space:]]*//p' "/proc/$app/status")
[ $((0x$ignored & 1)) = 1 ] || fail "SIGHUP, ignored when it started, is no longer ignored"
kill -HUP "$app"

# A removed device's sysfs file fails its reads; an emptied file stands in
# for that before it goes, as a kept file stays readable after unlinking.
: >"$hwmon/temp1_input"
rm "$hwmon/temp1_input"
sleep 5
kill -0 "$app" 2>/dev/null || fail "ended on SIGHUP or when its sensor vanished"
echo 52000 >"$hwmon/temp1_input"
sleep 3
kill -0 "$app" 2>/dev/null || fail "ended when its sensor came back"

# SIGTERMs until it has ended: the first asks it to end, the rest come while
# it ends.
for _ in $(seq 100000); do
    kill -TERM "$app" 2>/dev/null && ! ended_already || break
done
ended "after a stream of SIGTERMs"

start "$work/alert"
poll shown || fail "no alert appeared with both measurements off"
kill -TERM "$app"
ended "after SIGTERM during a start-up alert"
[ -f "$work/alert/Calidra/Calidra.conf" ] && [ ! -e "$work/alert/Calidra/Calidra.ini" ] \
    || fail "the settings under their old name were not moved to Calidra.conf"

start "$work/fifo"
poll shown || fail "no tray icon appeared with a FIFO as the settings file"
kill -TERM "$app"
ended "after SIGTERM with a FIFO as the settings file"
[ -p "$work/fifo/Calidra/Calidra.conf" ] || fail "the FIFO at the settings path was replaced"

command -v dbus-daemon >/dev/null || skip "dbus-daemon is not installed"
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" &
bus=$!
poll test -s "$work/bus" || skip "dbus-daemon did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
XDG_CURRENT_DESKTOP=GNOME
export DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP
"$fake_panel" &
panel=$!
poll dbus-send --session --dest=org.freedesktop.DBus --print-reply / \
    org.freedesktop.DBus.GetNameOwner string:org.kde.StatusNotifierWatcher >/dev/null 2>&1 \
    || fail "the fake panel did not take the watcher's name"
start "$work/config"
poll xdotool search --onlyvisible --name '^Calidra Statistics$' >/dev/null 2>&1 \
    || fail "activating the item opened no statistics window"
wait "$panel"
status=$?
panel=
[ "$status" = 0 ] || fail "the panel's steps failed"
ended "after Quit in the panel's menu"
echo "passed"
