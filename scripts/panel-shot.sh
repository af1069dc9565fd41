#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Shows a tray program on a real desktop panel on a private X server and takes
# screenshots of it, for checking by eye how the status item looks.
#
#   scripts/panel-shot.sh [--click] HOST SECONDS OUT.png COMMAND [ARGS...]
#
# HOST is gnome (GNOME Shell with the AppIndicator extension), xfce (the Xfce
# panel's Status Tray) or trayer (a bare XEmbed tray). The script starts Xvfb,
# a private session bus and the host, runs COMMAND there, waits SECONDS and
# writes OUT.png (the whole screen) and OUT-panel.png (the right part of the
# top bar, four times enlarged). With --click it then right-clicks the item
# (found as what COMMAND changed in the top bar) and writes OUT-menu.png.
# HOME and the XDG folders point into a temporary folder, so nothing touches
# the user's own settings. Everything started here is stopped at the end.
# COMMAND inherits the environment, so to show the program over the sensor
# fixture, run this script as root with COMMAND scripts/fake-sensors.sh ...
set -euo pipefail

usage() {
    echo "usage: $0 [--click] gnome|xfce|trayer SECONDS OUT.png COMMAND [ARGS...]" >&2
    exit 2
}

click=false
if [[ ${1:-} == --click ]]; then
    click=true
    shift
fi
[[ $# -ge 4 ]] || usage
host=$1 seconds=$2 out=$3
shift 3
case $host in gnome | xfce | trayer) ;; *) usage ;; esac
[[ $seconds =~ ^[0-9]+$ ]] || usage
out_base=${out%.png}

readonly width=1280 height=800 bar=40
work=$(mktemp -d /tmp/panel-shot.XXXXXX)

# The pids of every process below the given one, parents before children.
descendants() {
    local child
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
        echo "$child"
        descendants "$child"
    done
}

# Whether any of the given processes is still running.
any_alive() {
    local pid
    for pid in "$@"; do
        if kill -0 "$pid" 2>/dev/null; then
            return 0
        fi
    done
    return 1
}

# Lists the whole tree first, since a killed parent's children would leave it.
# Each gets five seconds to clean up after itself (fake-sensors.sh removes its
# fixture) before it is killed outright.
cleanup() {
    local pids tries
    read -ra pids <<<"$(descendants $$ | tr '\n' ' ')"
    if ((${#pids[@]} > 0)); then
        kill -TERM "${pids[@]}" 2>/dev/null || true
        for ((tries = 10; tries > 0; tries--)); do
            any_alive "${pids[@]}" || break
            sleep 0.5
        done
        kill -KILL "${pids[@]}" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# Runs the command every half second until it succeeds, for at most the given
# number of seconds.
wait_for() {
    local what=$1 limit=$2 tries
    shift 2
    for ((tries = limit * 2; tries > 0; tries--)); do
        if "$@" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.5
    done
    echo "$0: $what did not come up within $limit s" >&2
    return 1
}

# A private home, and the XDG folders in it, before anything starts: the bus
# passes this environment on to the services it starts (dconf, xfconfd).
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/run XDG_SESSION_TYPE=x11
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY SESSION_MANAGER

# Xvfb picks a free display number itself and writes it once it accepts clients.
Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
wait_for "Xvfb" 10 grep -q . "$work/display"
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY

# A private session bus, and a private stand-in for the system bus: GNOME Shell
# asks the system bus for its login session and must not reach the machine's.
for bus in session-bus system-bus; do
    dbus-daemon --session --nofork --print-address=3 3>"$work/$bus" >/dev/null 2>&1 &
    wait_for "the $bus" 10 grep -q . "$work/$bus"
done
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/session-bus")
DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$work/system-bus")
export DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS

watcher_owned() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.GetNameOwner string:org.kde.StatusNotifierWatcher
}

start_gnome() {
    export XDG_CURRENT_DESKTOP=GNOME
    gsettings set org.gnome.shell disable-user-extensions false
    gsettings set org.gnome.shell enabled-extensions "['ubuntu-appindicators@ubuntu.com']"
    gsettings set org.gnome.desktop.interface enable-animations false
    # Without a display manager the shell announces that screen locking is
    # off, in a banner that would cover the top of the screen.
    gsettings set org.gnome.desktop.notifications show-banners false
    gnome-shell --x11 --replace >"$work/host.log" 2>&1 &
    wait_for "the extension's StatusNotifierWatcher" 60 watcher_owned
    # The shell starts in the overview; Escape leaves it for the plain desktop.
    sleep 2
    xdotool key Escape
}

# One panel at the top: an expanding separator pushes the Status Tray, which
# hosts StatusNotifierItems and XEmbed icons alike, to the right end.
start_xfce() {
    export XDG_CURRENT_DESKTOP=XFCE
    local channel=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
    mkdir -p "$channel"
    cat >"$channel/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
      <property name="style" type="uint" value="0"/>
    </property>
    <property name="plugin-2" type="string" value="systray"/>
  </property>
</channel>
XML
    xfce4-panel --disable-wm-check --sm-client-disable >"$work/host.log" 2>&1 &
    wait_for "the Status Tray's StatusNotifierWatcher" 60 watcher_owned
}

start_trayer() {
    trayer --edge top --align right --widthtype request --height 22 \
        --transparent false --tint 0xe0e0e0 >"$work/host.log" 2>&1 &
    wait_for "trayer" 30 xdotool search --classname trayer
}

"start_$host"
sleep 2
if $click; then
    import -window root "$work/before.png"
fi

"$@" >"$work/command.log" 2>&1 &
command_pid=$!
# In the background, so that a signal ends the wait at once (bash runs traps
# only between foreground commands).
sleep "$seconds" &
wait $!
if ! kill -0 "$command_pid" 2>/dev/null; then
    echo "$0: the command ended before the screenshot" >&2
fi
import -window root "$out"
convert "$out" -crop "400x$bar+$((width - 400))+0" +repage -scale 400% "$out_base-panel.png"
echo "screen: $out"
echo "top bar, right part, 4x: $out_base-panel.png"

# The item is the box that changed in the right part of the top bar since the
# command started. The left part is left out, where a clock may tick, and so is
# all below the top 30 rows: the bars here are 22 to 32 px high, and GNOME shows
# its notices just below its bar.
if $click; then
    left=$((width * 3 / 5))
    read -r w h x y < <(convert "$work/before.png" "$out" \
        -crop "$((width - left))x30+$left+0" +repage -compose difference -composite \
        -threshold 5% -trim -format '%w %h %X %Y\n' info: 2>/dev/null) || true
    if ((w > 1 && h > 1)); then
        xdotool mousemove $((left + x + w / 2)) $((y + h / 2)) click 3
        sleep 2
        import -window root "$out_base-menu.png"
        echo "menu after right-clicking at $((left + x + w / 2)),$((y + h / 2)): $out_base-menu.png"
    else
        echo "$0: nothing changed in the top bar, no item to click" >&2
    fi
fi

echo "command output (last 40 lines):"
tail -n 40 "$work/command.log"
