# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash disable=SC2034 # panel_pid and host_log are read by the sourcing script
# Shell functions shared by the scripts that run Calidra on real desktop hosts
# in a private session: a private home, X server and session bus, the hosts
# themselves, and stopping everything again. Sourced, not run; the sourcing
# script sets `set -euo pipefail`.

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

# Stops the given processes and everything below them. Lists the whole tree
# first, since a killed parent's children would leave it. Each gets five
# seconds to clean up after itself (fake-sensors.sh removes its fixture)
# before it is killed outright.
stop_tree() {
    local pids=() pid tries
    for pid in "$@"; do
        pids+=("$pid")
        read -ra children <<<"$(descendants "$pid" | tr '\n' ' ')"
        pids+=("${children[@]}")
    done
    ((${#pids[@]} > 0)) || return 0
    kill -TERM "${pids[@]}" 2>/dev/null || true
    for ((tries = 10; tries > 0; tries--)); do
        any_alive "${pids[@]}" || break
        sleep 0.5
    done
    kill -KILL "${pids[@]}" 2>/dev/null || true
}

# Stops every process below the given shell (the caller's $BASHPID).
stop_descendants() {
    local pids
    read -ra pids <<<"$(descendants "$1" | tr '\n' ' ')"
    ((${#pids[@]} > 0)) || return 0
    stop_tree "${pids[@]}"
}

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
    echo "${0##*/}: $what did not come up within $limit s" >&2
    return 1
}

# A private home below the given folder, and the XDG folders in it, before
# anything starts: the bus passes this environment on to the services it
# starts (dconf, xfconfd, kded5).
private_home() {
    local work=$1
    export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
    export XDG_DATA_HOME=$work/home/.local/share XDG_CACHE_HOME=$work/home/.cache
    export XDG_RUNTIME_DIR=$work/run
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY DISPLAY SESSION_MANAGER DESKTOP_SESSION XDG_CURRENT_DESKTOP
}

# An X server of the given size: Xvfb picks a free display number itself and
# writes it once it accepts clients.
private_x_server() {
    local work=$1 size=$2
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    wait_for "Xvfb" 20 grep -q . "$work/display"
    DISPLAY=:$(head -n 1 "$work/display")
    export DISPLAY XDG_SESSION_TYPE=x11
}

# A private session bus, and a private stand-in for the system bus: GNOME Shell
# asks the system bus for its login session and must not reach the machine's.
private_buses() {
    local work=$1 bus
    for bus in session-bus system-bus; do
        dbus-daemon --session --nofork --print-address=3 3>"$work/$bus" >/dev/null 2>&1 &
        wait_for "the $bus" 20 grep -q . "$work/$bus"
    done
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/session-bus")
    DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$work/system-bus")
    export DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS
}

watcher_owned() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.GetNameOwner string:org.kde.StatusNotifierWatcher
}

# The hosts. Each host_prepare_NAME writes the host's settings into the
# private home and starts what it needs beside the panel; each host_panel_NAME
# starts the panel in the background, sets panel_pid and returns once the
# panel is up. Their output goes to the file named by host_log.
host_log=/dev/null
panel_pid=''

host_prepare_gnome() {
    export XDG_CURRENT_DESKTOP=GNOME
    gsettings set org.gnome.shell disable-user-extensions false
    gsettings set org.gnome.shell enabled-extensions "['ubuntu-appindicators@ubuntu.com']"
    gsettings set org.gnome.desktop.interface enable-animations false
    # Without a display manager the shell announces that screen locking is
    # off, in a banner that would cover the top of the screen.
    gsettings set org.gnome.desktop.notifications show-banners false
}

# Stock GNOME: the extension stays off. Banners are turned on once the shell
# is up, past its screen-lock notice, since what is looked at there is a
# notice of the program's: an idle session keeps a banner until the user
# moves.
host_prepare_gnome_plain() {
    export XDG_CURRENT_DESKTOP=GNOME
    gsettings set org.gnome.shell enabled-extensions "[]"
    gsettings set org.gnome.desktop.interface enable-animations false
    gsettings set org.gnome.desktop.notifications show-banners false
}

gnome_shell_up() {
    dbus-send --session --print-reply --dest=org.gnome.Shell /org/gnome/Shell \
        org.freedesktop.DBus.Properties.Get string:org.gnome.Shell string:ShellVersion
}

host_panel_gnome() {
    gnome-shell --x11 --replace >>"$host_log" 2>&1 &
    panel_pid=$!
    wait_for "the extension's StatusNotifierWatcher" 90 watcher_owned
    gnome_leave_overview
}

host_panel_gnome_plain() {
    gnome-shell --x11 --replace >>"$host_log" 2>&1 &
    panel_pid=$!
    wait_for "GNOME Shell" 90 gnome_shell_up
    gnome_leave_overview
    sleep 2
    gsettings set org.gnome.desktop.notifications show-banners true
}

gnome_overview_active() {
    dbus-send --session --print-reply --dest=org.gnome.Shell /org/gnome/Shell \
        org.freedesktop.DBus.Properties.Get string:org.gnome.Shell string:OverviewActive |
        grep -q 'boolean true'
}

# The shell starts in the overview; Escape leaves it for the plain desktop,
# once the shell takes keys, which may be some seconds after it is on the bus.
gnome_leave_overview() {
    local tries
    sleep 2
    for ((tries = 20; tries > 0; tries--)); do
        gnome_overview_active || return 0
        xdotool key Escape
        sleep 1
    done
    echo "${0##*/}: GNOME Shell stays in its overview" >&2
}

# One panel at the top: an expanding separator pushes the Status Tray, which
# hosts StatusNotifierItems and XEmbed icons alike, to the right end.
host_prepare_xfce() {
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
}

host_panel_xfce() {
    xfce4-panel --disable-wm-check --sm-client-disable >>"$host_log" 2>&1 &
    panel_pid=$!
    wait_for "the Status Tray's StatusNotifierWatcher" 60 watcher_owned
}

# One panel at the top, 28 px: an expanding spacer and the Status Notifier
# plugin, which runs its own StatusNotifierWatcher.
host_prepare_lxqt() {
    export XDG_CURRENT_DESKTOP=LXQt
    mkdir -p "$XDG_CONFIG_HOME/lxqt"
    cat >"$XDG_CONFIG_HOME/lxqt/panel.conf" <<'CONF'
[General]
__userfile__=true

[panel1]
alignment=-1
desktop=0
hidable=false
iconSize=22
lineCount=1
panelSize=28
plugins=spacer, statusnotifier
position=Top
width=100
width-percent=true

[spacer]
expandable=true
type=spacer

[statusnotifier]
type=statusnotifier
CONF
}

host_panel_lxqt() {
    lxqt-panel >>"$host_log" 2>&1 &
    panel_pid=$!
    wait_for "the Status Notifier plugin's StatusNotifierWatcher" 60 watcher_owned
}

plasma_host_registered() {
    busctl --user get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered | grep -q true
}

# Plasma's watcher is a module of kded5, which outlives the panel as in a real
# session. The panel is the default layout of a new user (at the bottom).
# "plasma" runs KWin as its window manager, "plasma-nokwin" none.
host_prepare_plasma_nokwin() {
    export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5
    kded5 >>"$host_log" 2>&1 &
    wait_for "kded5's StatusNotifierWatcher" 60 watcher_owned
}

host_prepare_plasma() {
    host_prepare_plasma_nokwin
    kwin_x11 >>"$host_log" 2>&1 &
    wait_for "KWin" 60 xprop -root _NET_SUPPORTING_WM_CHECK
}

# The default layout's clock would change the panel's pixels every minute,
# so it is removed; the layout keeps it removed across restarts.
host_panel_plasma() {
    plasmashell >>"$host_log" 2>&1 &
    panel_pid=$!
    wait_for "the system tray of plasmashell" 90 plasma_host_registered
    busctl --user call org.kde.plasmashell /PlasmaShell org.kde.PlasmaShell evaluateScript s \
        'panels().forEach(function(p){p.widgets("org.kde.plasma.digitalclock").forEach(function(w){w.remove()})})' \
        >>"$host_log" 2>&1 || true
    # The panel is drawn some seconds after its tray registers.
    sleep 5
}

host_panel_plasma_nokwin() {
    host_panel_plasma
}

host_prepare_trayer() {
    :
}

host_panel_trayer() {
    trayer --edge top --align right --widthtype request --height 22 \
        --transparent false --tint 0xe0e0e0 >>"$host_log" 2>&1 &
    panel_pid=$!
    wait_for "trayer" 30 xdotool search --classname trayer
}
