#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs Calidra over the fake sensor on real desktop panels, many times each,
# and prints one Markdown table row per host of what a user would have seen:
#
#   sudo scripts/host-matrix.sh [--install] [--hosts LIST] [-n N]
#                               [--binary PATH] [--out DIR]
#
# --install  installs what the chosen hosts need from Debian 12 packages,
#            only what is missing (apt-get install --no-install-recommends)
# --hosts    comma-separated, default every table host:
#            gnome,xfce,lxqt,plasma,plasma-nokwin,sway,trayer; the notice
#            hosts gnome-plain and sway-nobar are run only when named
# -n         starts of Calidra per host, default 30
# --binary   default build/Calidra/calidra (its Resources/ beside it)
# --out      screenshots and logs, default build/host-matrix/HOST/
#
# Needs root (the fake sensor's mounts; see fake-sensors.sh). Too heavy for
# CI: a host takes a few minutes for 30 starts. Each host gets a private
# home and XDG folders, a private X server (Xvfb, 1280x800) or a headless
# compositor, and a private session bus; everything is stopped at its end.
#
# The hosts (see lib/desktop-session.sh for the X11 ones):
#   gnome          GNOME Shell 43 on X11 with the AppIndicator extension,
#                  enabled by gsettings; a second bus stands in for the system
#                  bus. Restarted with --replace. The column "label" is the
#                  item's XAyatanaLabel, which the shell draws as text.
#   xfce           the Xfce 4.18 panel, one panel holding its Status Tray
#                  (xfconf settings in the private home; xfconfd is started
#                  by the bus); --disable-wm-check, no window manager.
#   lxqt           lxqt-panel 1.2, one panel holding its Status Notifier
#                  plugin, which runs the watcher itself; no window manager.
#   plasma         plasmashell 5.27 with kwin_x11; the watcher is kded5's
#                  (started before the panel, kept across panel restarts, as
#                  in a session). The shell package comes from plasma-desktop,
#                  the default panel's keyboard applet needs
#                  qml-module-qt-labs-platform.
#                  The default panel (at the bottom) loses its clock, which
#                  would change the panel's pixels every minute.
#   plasma-nokwin  the same without a window manager.
#   sway           sway 1.7 on its headless backend (WLR_BACKENDS=headless
#                  WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman), no
#                  Xwayland, no bar of its own, waybar with only its tray
#                  module at its default icon size, 16 px (the module runs
#                  the watcher), started as a client of the
#                  session. sway refuses to run as root, so sway and its
#                  clients run as nobody, on a session bus that lets every
#                  user connect; Calidra stays root and is a Wayland client
#                  (QT_QPA_PLATFORM=wayland, qt6-wayland) through the socket's
#                  path. Screenshots by grim; the click goes through a virtual
#                  pointer (lib/wayland-pointer.py), since the headless seat
#                  has no pointer of its own.
#   trayer         a bare XEmbed tray: no watcher, "visible" is Calidra's
#                  XEmbed window mapped and painted.
#   gnome-plain    GNOME Shell without the extension, and
#   sway-nobar     sway without any bar, with dunst as its notification
#                  service: no table row; Calidra runs there for 20 s and a
#                  screenshot shows what it told the user.
#
# What a row says:
#   visible   starts in which the item became visible within 30 s: the
#             watcher lists it (org.kde.StatusNotifierWatcher's
#             RegisteredStatusNotifierItems holds a name of Calidra's
#             connection) or its XEmbed window is mapped, AND the panel's
#             pixels changed compared with a screenshot taken before
#             Calidra started. Polled every 0.25 s; a start counts only if
#             the item is still visible 6 s after it (when the face is
#             measured): the row tells how many showed the item and lost it.
#   seconds   median and maximum from Calidra's start to visible.
#   label/ink the label (gnome), else the face's ink: the rows of the item's
#             box holding white pixels that Calidra drew, as runs (6+6 for
#             two stacked lines), and the height of the item's plate (or of
#             the slot, where the panel paints one behind the item: waybar).
#   layout    starts whose first com.canonical.dbusmenu GetLayout (called
#             as soon as the watcher lists the item, before the panel's
#             first AboutToShow; where a panel asks AboutToShow before its
#             watcher lists the item, the last one read from Calidra's
#             connection before that) labels every visible item that is not
#             a separator; the first gap found is quoted.
#   restart   with Calidra running, the panel is killed and started again:
#             whether the item is back (and still there 4 s later), and
#             after how many seconds.
#   late      Calidra starts with no panel, the panel 5 s later: whether the
#             item shows (and stays 4 s), and after how many seconds from
#             the panel's start; "(XEmbed)" when it came as an XEmbed icon.
#   click     a left click on the item's centre: the statistics window (found
#             by its title), Calidra's own menu (a new window of Calidra's,
#             or on Wayland the panel's Activate call followed by a menu), the
#             panel's menu (the screen changed outside the panel), or nothing;
#             with the calls the panel made on the item and its menu.
# The output folder keeps per host the panel's log, Calidra's log of every
# start, a screenshot of the first start (start-1.png) and of every failed one
# (failed-N.png, restart-failed.png, late-failed.png) and the click's
# (click.png).
set -euo pipefail

here=$(dirname "$(realpath "$0")")
source "$here/lib/desktop-session.sh"

readonly table_hosts="gnome xfce lxqt plasma plasma-nokwin sway trayer"
readonly notice_hosts="gnome-plain sway-nobar"
readonly width=1280 height=800
readonly poll_limit=30 late_delay=5 notice_wait=20 least_change=20 face_delay=6 recheck_delay=4

usage() {
    sed -n '6,17s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

install=false hosts=$table_hosts runs=30 binary=build/Calidra/calidra out=build/host-matrix
while (($# > 0)); do
    case $1 in
    --install) install=true ;;
    --hosts) hosts=${2//,/ } && shift ;;
    -n) runs=$2 && shift ;;
    --binary) binary=$2 && shift ;;
    --out) out=$2 && shift ;;
    *) usage ;;
    esac
    shift
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || usage
for host in $hosts; do
    [[ " $table_hosts $notice_hosts " == *" $host "* ]] || usage
done
if [[ $EUID -ne 0 ]]; then
    echo "$0: needs root, for the fake sensor's mounts" >&2
    exit 1
fi

packages_for() {
    case $1 in
    # gjs runs GNOME Shell's notification service, which a full install has.
    gnome | gnome-plain) echo gnome-shell gnome-shell-extension-appindicator libglib2.0-bin gjs ;;
    xfce) echo xfce4-panel ;;
    lxqt) echo lxqt-panel ;;
    plasma | plasma-nokwin) echo plasma-workspace plasma-desktop kwin-x11 qml-module-qt-labs-platform ;;
    sway) echo sway waybar grim python3 qt6-wayland ;;
    sway-nobar) echo sway grim dunst qt6-wayland ;;
    trayer) echo trayer ;;
    esac
}
readonly common_packages="xvfb xdotool imagemagick x11-utils dbus systemd jq procps util-linux"

if $install; then
    missing=()
    for package in $common_packages $(for name in $hosts; do packages_for "$name"; done); do
        if [[ $(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null) != installed ]]; then
            missing+=("$package")
        fi
    done
    if ((${#missing[@]} > 0)); then
        mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
fi

binary=$(realpath "$binary")
[[ -x $binary ]] || {
    echo "$0: no program at $binary" >&2
    exit 1
}
mkdir -p "$out"
out=$(realpath "$out")
process_name=$(basename "$binary" | cut -c 1-15)
readonly process_name

# ---------------------------------------------------------------- sessions

# Xvfb, the private home and the buses of an X11 host.
session_x11() {
    display_kind=x11
    private_home "$session"
    private_x_server "$session" "${width}x$height"
    private_buses "$session"
}

as_nobody() {
    XDG_RUNTIME_DIR=$session/sway-run setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"
}

# sway checks that it cannot regain root and refuses to start as root. It
# and its clients run as nobody, on a session bus that lets every user in;
# Calidra, root, reaches the compositor by the socket's path.
session_sway() {
    display_kind=wayland
    private_home "$session"
    cat >"$session/bus.conf" <<'CONF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <standard_session_servicedirs/>
  <policy context="default">
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
    dbus-daemon --config-file="$session/bus.conf" --nofork --print-address=3 \
        3>"$session/session-bus" >/dev/null 2>&1 &
    wait_for "the session bus" 20 grep -q . "$session/session-bus"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$session/session-bus")
    export DBUS_SESSION_BUS_ADDRESS
    # No bar block: sway's own bar stays off; the panel is waybar.
    mkdir -p "$XDG_CONFIG_HOME/sway" "$XDG_CONFIG_HOME/waybar"
    cat >"$XDG_CONFIG_HOME/sway/config" <<CONF
xwayland disable
output HEADLESS-1 resolution ${width}x$height position 0 0 bg #404040 solid_color
CONF
    cat >"$XDG_CONFIG_HOME/waybar/config" <<'CONF'
{
    "layer": "top", "position": "top", "height": 26,
    "modules-left": [], "modules-center": [], "modules-right": ["tray"]
}
CONF
    mkdir -m 700 "$session/sway-run"
    chown -R nobody:nogroup "$HOME" "$session/sway-run"
    chmod 711 "$session"
    export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=sway NO_AT_BRIDGE=1
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        as_nobody sway >>"$host_log" 2>&1 &
    wait_for "sway" 30 compgen -G "$session/sway-run/sway-ipc.*.sock"
    SWAYSOCK=$(compgen -G "$session/sway-run/sway-ipc.*.sock" | head -n 1)
    WAYLAND_DISPLAY=$session/sway-run/$(cd "$session/sway-run" && compgen -G 'wayland-[0-9]' | head -n 1)
    export SWAYSOCK WAYLAND_DISPLAY QT_QPA_PLATFORM=wayland
}

host_prepare_sway() {
    :
}

host_panel_sway() {
    as_nobody waybar >>"$host_log" 2>&1 &
    panel_pid=$!
    wait_for "waybar's StatusNotifierWatcher" 60 watcher_owned
    sleep 1
}

host_prepare_sway_nobar() {
    as_nobody dunst >>"$host_log" 2>&1 &
    wait_for "dunst" 30 dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.GetNameOwner string:org.freedesktop.Notifications
}

host_panel_sway_nobar() {
    :
}

# The tray's part of the screen: the panel's row, less a clock.
band_of() {
    case $1 in
    gnome) echo 512x30+768+0 ;;
    xfce | sway) echo 1280x26+0+0 ;;
    lxqt) echo 1280x28+0+0 ;;
    plasma | plasma-nokwin) echo 1280x44+0+756 ;;
    trayer) echo 1280x22+0+0 ;;
    esac
}

# grab FILE [GEOMETRY]: the screen, or the part WxH+X+Y of it.
grab() {
    local file=$1 geometry=${2:-}
    if [[ $display_kind == wayland ]]; then
        if [[ -n $geometry ]]; then
            local size=${geometry%%+*} offset=${geometry#*+}
            grim -g "${offset/+/,} $size" "$file"
        else
            grim "$file"
        fi
    elif [[ -n $geometry ]]; then
        import -window root -crop "$geometry" +repage "$file"
    else
        import -window root "$file"
    fi
}

now_ns() {
    date +%s%N
}

# Seconds since the given time in nanoseconds, to a tenth.
seconds_since() {
    echo "$(($(now_ns) - $1))" | awk '{ printf "%.1f", $1 / 1e9 }'
}

# ---------------------------------------------------------------- Calidra

# Starts the program, and a record of the calls panels make on menus, so
# that a layout read after the first AboutToShow is told apart.
start_calidra() {
    dbus-monitor --session "type='method_call',interface='com.canonical.dbusmenu'" \
        >"$session/menu-calls.log" 2>&1 &
    menu_monitor=$!
    started_ns=$(now_ns)
    "$here/fake-sensors.sh" "$binary" >"$1" 2>&1 &
    calidra_runner=$! calidra_pid=''
}

stop_calidra() {
    stop_tree "$calidra_runner" "$menu_monitor"
    wait "$calidra_runner" "$menu_monitor" 2>/dev/null || true
    calidra_runner='' menu_monitor=''
}

# The program's own process, below fake-sensors.sh.
find_calidra() {
    if [[ -z $calidra_pid ]]; then
        calidra_pid=$(ps -o pid=,comm= --ppid "$calidra_runner" |
            awk -v name="$process_name" '$2 == name { print $1 }') || true
    fi
    [[ -n $calidra_pid ]]
}

# The watcher's entry for Calidra's item, as "service path", or nothing.
# Watchers list an item by its bus name or unique name, with its path or not.
watcher_entry() {
    local names entry service
    names=$(busctl --user --json=short list 2>/dev/null |
        jq -r --argjson pid "$calidra_pid" '.[] | select(.pid == $pid) | .name')
    busctl --user --json=short get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems 2>/dev/null |
        jq -r '.data[]' | while read -r entry; do
        # GNOME's extension lists "name@/path", the others "name/path".
        service=${entry%%/*}
        service=${service%@}
        if grep -qxF "$service" <<<"$names"; then
            path=/${entry#*/}
            [[ $entry == */* ]] || path=/StatusNotifierItem
            echo "$service $path"
            break
        fi
    done || true
}

xembed_docked() {
    [[ $display_kind == x11 ]] &&
        xdotool search --onlyvisible --pid "$calidra_pid" --name '^Calidra$' >/dev/null 2>&1
}

# The box around the white pixels of a black and white picture, as "width
# height x y" (after the given operations on it). A black frame first, so that
# white in a corner is not taken for the background to trim.
white_box() {
    local file=$1
    shift
    convert "$file" "$@" -bordercolor black -border 1 -trim -format '%w %h %X %Y' info: 2>/dev/null |
        awk '{ print $1, $2, $3 - 1, $4 - 1 }'
}

# Compares the band with the screenshot from before Calidra started: sets
# changed (pixels) and box (width height x y of the changes in the band).
compare_band() {
    changed=0 box=''
    grab "$session/now.png" "$band" 2>/dev/null || return 0
    convert "$session/before.png" "$session/now.png" -compose difference -composite \
        -colorspace gray -threshold 10% "$session/changed.png"
    changed=$(convert "$session/changed.png" -format '%[fx:round(mean*w*h)]' info:)
    if ((changed >= least_change)); then
        box=$(white_box "$session/changed.png")
    fi
}

# One look: sets entry (the watcher's), docked and the band's changes;
# succeeds when the item is visible. At the first sight of the watcher's
# entry, while first_layout is wanted and still empty, it asks for the menu's
# layout before anything else.
probe_item() {
    entry='' docked=false changed=0 box=''
    find_calidra || return 1
    entry=$(watcher_entry)
    read -r item_service item_path <<<"$entry"
    if $want_layout && [[ -z $first_layout ]]; then
        read_first_layout
    fi
    if [[ -z $entry ]] && xembed_docked; then
        docked=true
    fi
    [[ -n $entry ]] || $docked || return 1
    compare_band
    ((changed >= least_change))
}

# Sets first_layout at the first sight of the watcher's entry, from a
# GetLayout before the panel's first AboutToShow: read then, or, where the
# panel asked AboutToShow before its watcher listed the item, the last one
# read from Calidra's connection before that (early_layout).
read_first_layout() {
    local asked=false
    grep -q 'member=AboutToShow' "$session/menu-calls.log" && asked=true
    if [[ -z $entry ]]; then
        $asked || early_layout=$(menu_gaps "$(calidra_connection)" /StatusNotifierItem) ||
            early_layout=''
    elif ! $asked; then
        first_layout=$(menu_gaps "$item_service" "$item_path") || first_layout='no menu'
    elif [[ -n $early_layout ]]; then
        first_layout="$early_layout, read before the item was listed"
    else
        first_layout="$(menu_gaps "$item_service" "$item_path"), read after an AboutToShow"
    fi
}

calidra_connection() {
    busctl --user --json=short list 2>/dev/null | jq -r --argjson pid "$calidra_pid" \
        '[.[] | select(.pid == $pid and (.name | startswith(":"))) | .name][0] // empty'
}

# Unlabelled visible items that are not separators in the item's menu, as
# "N of M unlabelled", right now.
menu_gaps() {
    local service=$1 path=$2 menu
    menu=$(busctl --user --json=short get-property "$service" "$path" \
        org.kde.StatusNotifierItem Menu | jq -r .data) || return 1
    busctl --user --json=short call "$service" "$menu" com.canonical.dbusmenu \
        GetLayout iias -- 0 -1 0 | jq -r '
        # A hidden item is told by != false: jq takes false for absent in //.
        def items: .[2][] | .data | (., items);
        [.data[1] | items
         | select(.[1].visible.data != false
                  and ((.[1].type.data // "standard") != "separator"))]
        | "\([.[] | select((.[1].label.data // "") == "")] | length) of \(length) unlabelled"'
} 2>/dev/null

# Polls until the item is visible, for at most poll_limit seconds from now:
# sets seen_after (seconds since the given time) and, when the second
# argument is true, first_layout.
await_item() {
    local since=$1 deadline
    want_layout=${2:-false}
    deadline=$(($(now_ns) + poll_limit * 1000000000))
    seen_after='' first_layout='' early_layout=''
    while (($(now_ns) < deadline)); do
        if probe_item; then
            seen_after=$(seconds_since "$since")
            return 0
        fi
        sleep 0.25
    done
    return 1
}

# Like await_item, and then the item must still be there some seconds later
# (some hosts show an item and drop it):
# sets seen_after, or lasting to "shown, then gone".
await_lasting_item() {
    lasting=''
    await_item "$1" || return 1
    sleep "$recheck_delay"
    probe_item && return 0
    lasting='shown, then gone'
    return 1
}

# Waits until the band looks as before Calidra started, so that the next
# start begins from an empty tray.
await_empty_band() {
    local tries
    for ((tries = 40; tries > 0; tries--)); do
        compare_band
        ((changed < least_change)) && return 0
        sleep 0.25
    done
}

# Finds the face once a reading shows, some seconds after the start: its ink
# is the white pixels that are not as before Calidra started (a light panel
# differs from white by a few levels only, and rounded corners or a panel's
# own background show it unchanged). Sets face (width height x y of the ink
# in the band, or empty) and plate (the height of the changes in the ink's
# columns: the item's plate, or the slot where the panel paints one).
locate_face() {
    local wait_ns=$((started_ns + face_delay * 1000000000 - $(now_ns))) band_h=${band#*x}
    band_h=${band_h%%+*}
    ((wait_ns <= 0)) || sleep "$(awk -v ns="$wait_ns" 'BEGIN { print ns / 1e9 }')"
    face='' plate=0
    compare_band
    [[ -n $box ]] || return 0
    convert \( "$session/now.png" -separate -evaluate-sequence min -threshold 95% \) \
        \( "$session/before.png" "$session/now.png" -compose difference -composite \
        -colorspace gray -threshold 1% \) -compose multiply -composite "$session/ink.png"
    face=$(white_box "$session/ink.png")
    local w h x y
    read -r w h x y <<<"$face"
    ((w > 1 && h > 1)) || {
        face=''
        return 0
    }
    plate=$(white_box "$session/changed.png" -crop "${w}x$band_h+$x+0" +repage | cut -d' ' -f2)
}

# The label (gnome), else the face's ink: the runs of rows holding ink, and
# the plate's height.
face_text() {
    if [[ $host == gnome ]]; then
        busctl --user --json=short get-property "$item_service" "$item_path" \
            org.kde.StatusNotifierItem XAyatanaLabel |
            jq -r '"\"" + .data + "\""'
        return
    fi
    [[ -n $face ]] || {
        echo 'no ink'
        return
    }
    local w h x y band_h=${band#*x}
    band_h=${band_h%%+*}
    read -r w h x y <<<"$face"
    convert "$session/ink.png" -crop "${w}x$band_h+$x+0" +repage -scale "1x$band_h!" \
        -threshold 0 txt:- | awk -v plate="$plate" 'NR > 1 {
            if ($0 ~ /#FFFFFF|white/) { run++ } else if (run) { runs = runs (runs ? "+" : "") run; run = 0 }
        }
        END {
            if (run) runs = runs (runs ? "+" : "") run
            printf "ink %s px of %d\n", runs ? runs : "0", plate
        }'
}

# ---------------------------------------------------------------- the click

calidra_windows() {
    [[ $display_kind == x11 ]] || return 0
    xdotool search --onlyvisible --pid "$calidra_pid" 2>/dev/null | sort || true
}

statistics_open() {
    if [[ $display_kind == wayland ]]; then
        swaymsg -t get_tree | jq -e '.. | objects | select(.name? == "Calidra Statistics")' \
            >/dev/null
    else
        xdotool search --onlyvisible --name '^Calidra Statistics$' >/dev/null 2>&1
    fi
}

# Left-clicks the centre of the item's face and says what opened.
click_item() {
    local w h x y band_x band_y band_h windows_before calls opened monitor
    read -r w h x y <<<"${face:-$box}"
    band_x=${band#*+} band_y=${band_x#*+} band_x=${band_x%+*} band_h=${band#*x} band_h=${band_h%%+*}
    x=$((band_x + x + w / 2)) y=$((band_y + y + h / 2))
    grab "$session/click-before.png"
    windows_before=$(calidra_windows)
    dbus-monitor --session "type='method_call',interface='org.kde.StatusNotifierItem'" \
        "type='method_call',interface='com.canonical.dbusmenu'" >"$dir/click-calls.log" 2>&1 &
    monitor=$!
    sleep 0.5
    if [[ $display_kind == wayland ]]; then
        python3 "$here/lib/wayland-pointer.py" "$x" "$y" "$width" "$height" 4 \
            >>"$host_log" 2>&1 &
        sleep 1.5
    else
        xdotool mousemove "$x" "$y" click 1
    fi
    sleep 2.5
    grab "$dir/click.png"
    kill "$monitor" 2>/dev/null || true
    calls=$(grep '^method call' "$dir/click-calls.log" | grep -o 'member=[A-Za-z]*' | cut -d= -f2 |
        grep -vx 'GetLayout\|GetGroupProperties\|GetProperty\|Get\|GetAll' |
        awk '!seen[$0]++' | paste -sd, -) || true
    # What opened lies outside the panel's rows.
    opened=$(convert "$session/click-before.png" "$dir/click.png" -compose difference -composite \
        -colorspace gray -threshold 10% -fill black \
        -draw "rectangle 0,$band_y $width,$((band_y + band_h - 1))" \
        -format '%[fx:round(mean*w*h)]' info:)
    if statistics_open; then
        click_result='statistics window'
    elif [[ -n $(comm -13 <(echo "$windows_before") <(calidra_windows)) ]]; then
        click_result="Calidra's own menu"
    elif ((opened > 500)); then
        if [[ $display_kind == wayland && ,$calls, == *,Activate,* ]]; then
            click_result="Calidra's own menu"
        else
            click_result="the panel's menu"
        fi
    else
        click_result=nothing
    fi
    click_result+=" (calls: ${calls:-none})"
    # Away from the item, whose hover highlight would count as its face.
    [[ $display_kind == wayland ]] || xdotool key Escape mousemove $((width / 2)) $((height / 2))
}

# ---------------------------------------------------------------- one host

# Runs the starts, the click, the panel restart and the late panel on one
# host; writes the host's row to $dir/row.
run_host() {
    local fn=${host//-/_} i since outcome counted visible=0 dropped=0 times=() faces=() layouts=()
    local restart late click_result
    "host_prepare_$fn"
    "host_panel_$fn"
    band=$(band_of "$host")
    sleep 2
    grab "$session/before.png" "$band"
    click_result='not visible'
    for ((i = 1; i <= runs; i++)); do
        start_calidra "$dir/calidra-$i.log"
        outcome='not visible' counted=false
        if await_item "$started_ns" true; then
            locate_face
            if probe_item; then
                outcome="visible after $seen_after s" counted=true
                visible=$((visible + 1))
                times+=("$seen_after")
                faces+=("$(face_text)")
            else
                outcome="visible after $seen_after s, gone by $face_delay s"
                dropped=$((dropped + 1))
            fi
        fi
        if $counted; then
            ((i > 1)) || grab "$dir/start-1.png"
            [[ $click_result != 'not visible' ]] || click_item
        else
            grab "$dir/failed-$i.png"
            ((i > 1)) || cp "$dir/failed-1.png" "$dir/start-1.png"
        fi
        layouts+=("${first_layout:-never listed}")
        echo "$host start $i: $outcome; first layout: ${first_layout:-never listed}" >&2
        stop_calidra
        await_empty_band
    done

    # The restart needs an item to lose: up to three starts to get one.
    local attempt
    for attempt in 1 2 3; do
        start_calidra "$dir/calidra-restart-$attempt.log"
        await_lasting_item "$started_ns" && break
        stop_calidra
        await_empty_band
    done
    if [[ -n $calidra_runner ]]; then
        stop_tree "$panel_pid"
        since=$(now_ns)
        "host_panel_$fn"
        if await_lasting_item "$since"; then
            restart="yes, ${seen_after} s"
        else
            restart=${lasting:-no}
            grab "$dir/restart-failed.png"
        fi
    else
        restart='not visible in 3 starts'
    fi
    stop_calidra

    stop_tree "$panel_pid"
    start_calidra "$dir/calidra-late.log"
    sleep "$late_delay"
    since=$(now_ns)
    "host_panel_$fn"
    if await_lasting_item "$since"; then
        late="yes, ${seen_after} s"
        $docked && late+=" (XEmbed)"
    else
        late=${lasting:-no}
        grab "$dir/late-failed.png"
    fi
    stop_calidra

    local seconds='–' face='–' layout
    if ((visible > 0)); then
        seconds=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END {
            m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
            printf "%.1f / %.1f", m, t[NR] }')
        face=$(printf '%s\n' "${faces[@]}" | awk '!seen[$0]++' | head -n 3 | paste -sd ';')
    fi
    layout=$(printf '%s\n' "${layouts[@]}" | awk '
        /^0 of/ { complete++ } { n++; if (!/^0 of/ && !other) other = $0 }
        END { printf "%d/%d complete%s", complete, n, other ? " (" other ")" : "" }')
    [[ $host != trayer ]] || layout='– (no menu export)'
    local shown="$visible/$runs"
    ((dropped == 0)) || shown+=" ($dropped shown, then gone)"
    printf '| %s | %s | %s | %s | %s | %s | %s | %s |\n' "$host" "$shown" \
        "$seconds" "$face" "$layout" "$restart" "$late" "$click_result" >"$dir/row"
}

# Starts Calidra where nothing can show its item and keeps a screenshot of
# what it tells the user.
run_notice_host() {
    local fn=${host//-/_}
    "host_prepare_$fn"
    "host_panel_$fn"
    sleep 2
    start_calidra "$dir/calidra-1.log"
    sleep "$notice_wait"
    grab "$dir/notice.png"
    # GNOME's banner shows one line until the pointer rests on it, when it
    # shows the whole text and its buttons.
    if [[ $display_kind == x11 ]]; then
        xdotool mousemove $((width / 2)) 70
        sleep 1.5
        grab "$dir/notice-open.png"
        # Its button, the last row of the open banner, opens the statistics.
        xdotool mousemove $((width / 2)) 205 click 1
        sleep 2
        grab "$dir/notice-clicked.png"
    fi
    stop_calidra
    echo "$dir/notice.png" >"$dir/row"
}

# One host in a subshell of its own: its environment, its processes and its
# traps end with it. It runs in the background and is waited for, since a
# subshell whose status is tested would ignore its failures.
host_session() (
    host=$1
    dir=$out/$host
    rm -rf "$dir"
    mkdir -p "$dir"
    session=$(mktemp -d /tmp/host-matrix.XXXXXX)
    host_log=$dir/panel.log
    calidra_runner='' menu_monitor=''
    trap 'stop_descendants $BASHPID; rm -rf "$session"' EXIT
    trap 'exit 143' INT TERM HUP
    export LANG=C.UTF-8
    unset LC_ALL LANGUAGE
    case $host in
    sway | sway-nobar) session_sway ;;
    *) session_x11 ;;
    esac
    if [[ " $notice_hosts " == *" $host "* ]]; then
        run_notice_host
    else
        run_host
    fi
)

session_pid=''
trap '[[ -z $session_pid ]] || { kill -TERM "$session_pid"; wait "$session_pid"; }; exit 130' \
    INT TERM HUP
echo '| host | visible | seconds to visible (median / max) | label or ink | first GetLayout labels every item | back after panel restart | panel started 5 s late | left click |'
echo '|---|---|---|---|---|---|---|---|'
notices=()
for host in $hosts; do
    host_session "$host" 2>"$out/$host.log" &
    session_pid=$!
    if wait "$session_pid"; then
        if [[ " $notice_hosts " == *" $host "* ]]; then
            notices+=("$host: $(cat "$out/$host/row")")
        else
            cat "$out/$host/row"
        fi
    else
        printf '| %s | could not run: %s |\n' "$host" "$(tail -n 1 "$out/$host.log")"
    fi
    session_pid=''

done
for notice in "${notices[@]}"; do
    echo "notice screenshot, $notice"
done
echo "logs and screenshots: $out"
