#!/bin/sh
# The real program in a real tray: under Xvfb with trayer as the tray, in a
# private mount namespace whose /sys holds a coretemp sensor at 47 degrees and
# whose /proc/cpuinfo names an Intel processor. Calidra must show its tray
# icon, live through its sensor file vanishing and coming back, and exit with
# 0 when it is asked to end. Exits with 77 (skipped) where this cannot run.
set -u
calidra=$1

skip() { echo "skipped: $*"; exit 77; }
fail() { echo "failed: $*"; exit 1; }

[ "$(id -u)" = 0 ] || skip "binding a fixture over /sys needs root"
for tool in Xvfb trayer xdotool unshare; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
unshare --mount --propagation private true 2>/dev/null || skip "no private mount namespace here"

work=$(mktemp -d)
app= tray= xvfb=
cleanup() {
    for pid in $app $tray $xvfb; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

hwmon="$work/sys/class/hwmon/hwmon0"
mkdir -p "$hwmon" "$work/sys/devices/system/cpu" "$work/config"
echo coretemp >"$hwmon/name"
echo "Package id 0" >"$hwmon/temp1_label"
echo 47000 >"$hwmon/temp1_input"
echo 0 >"$work/sys/devices/system/cpu/online"
printf 'processor\t: 0\nvendor_id\t: GenuineIntel\n' >"$work/cpuinfo"

Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || skip "Xvfb did not start"
DISPLAY=:$(cat "$work/display")
export DISPLAY
trayer --edge top --align right --height 28 >/dev/null 2>&1 &
tray=$!
sleep 1

XDG_CONFIG_HOME="$work/config" unshare --mount --propagation private sh -c \
    'mount --bind "$1/sys" /sys && mount --bind "$1/cpuinfo" /proc/cpuinfo && exec "$2"' \
    sh "$work" "$calidra" &
app=$!

icon=
for _ in $(seq 100); do
    icon=$(xdotool search --name '^Calidra$' 2>/dev/null | head -n 1)
    [ -n "$icon" ] && break
    sleep 0.1
done
[ -n "$icon" ] || fail "no tray icon appeared"
echo "tray icon window $icon"

# A removed device's sysfs file fails its reads; an emptied file stands in
# for that before it goes, as a kept file stays readable after unlinking.
: >"$hwmon/temp1_input"
rm "$hwmon/temp1_input"
sleep 5
kill -0 "$app" 2>/dev/null || fail "ended when its sensor vanished"
echo 52000 >"$hwmon/temp1_input"
sleep 3
kill -0 "$app" 2>/dev/null || fail "ended when its sensor came back"

kill -TERM "$app"
wait "$app"
status=$?
app=
[ "$status" = 0 ] || fail "exit status $status after SIGTERM"
echo "passed"
