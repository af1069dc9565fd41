#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Shows a tray program on a real desktop panel on a private X server and takes
# screenshots of it, for checking by eye how the status item looks.
#
#   scripts/panel-shot.sh [--click] HOST SECONDS OUT.png COMMAND [ARGS...]
#
# HOST is gnome (GNOME Shell with the AppIndicator extension), xfce (the Xfce
# panel's Status Tray), lxqt (the LXQt panel's Status Notifier) or trayer (a
# bare XEmbed tray). The script starts Xvfb, a private session bus and the
# host (see scripts/lib/desktop-session.sh), runs COMMAND there, waits SECONDS
# and writes OUT.png (the whole screen) and OUT-panel.png (the right part of the
# top bar, four times enlarged). With --click it then right-clicks the item
# (found as what COMMAND changed in the top bar) and writes OUT-menu.png.
# HOME and the XDG folders point into a temporary folder, so nothing touches
# the user's own settings. Everything started here is stopped at the end.
# COMMAND inherits the environment, so to show the program over the sensor
# fixture, run this script as root with COMMAND scripts/fake-sensors.sh ...
set -euo pipefail

usage() {
    echo "usage: $0 [--click] gnome|xfce|lxqt|trayer SECONDS OUT.png COMMAND [ARGS...]" >&2
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
case $host in gnome | xfce | lxqt | trayer) ;; *) usage ;; esac
[[ $seconds =~ ^[0-9]+$ ]] || usage
out_base=${out%.png}

readonly width=1280 height=800 bar=40
work=$(mktemp -d /tmp/panel-shot.XXXXXX)
source "$(dirname "$(realpath "$0")")/lib/desktop-session.sh"

cleanup() {
    stop_descendants $$
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

private_home "$work"
private_x_server "$work" "${width}x$height"
private_buses "$work"
host_log=$work/host.log
"host_prepare_$host"
"host_panel_$host"
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
