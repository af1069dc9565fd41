#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from this build folder, checks its files (paths,
# modes, owners), its dependencies, its polkit actions and what the desktop
# and packaging validators say of it, then extracts it into a temporary root
# and runs the extracted program through the end-to-end test. Exits with 77
# (skipped) where the packaging tools are missing.
set -u
build=$1
end_to_end=$2
shift 2

skip() { echo "skipped: $*"; exit 77; }
fail() { echo "failed: $*"; exit 1; }

for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack did not build the package"; }
deb=$(ls "$work"/calidra_*.deb) || fail "no package was made"
echo "package: ${deb##*/}, $(stat -c %s "$deb") bytes"

# Every entry: mode, owner, path (links with their target).
dpkg-deb -c "$deb" | awk '{ $3 = $4 = $5 = ""; print }' | tr -s ' ' >"$work/files"
has() { grep -qxF -e "$1" "$work/files" || fail "the package lacks: $1"; }
has "-rwxr-xr-x root/root ./usr/lib/calidra/calidra"
has "-rwxr-xr-x root/root ./usr/lib/calidra/calidra-driver"
has "lrwxrwxrwx root/root ./usr/bin/calidra -> ../lib/calidra/calidra"
has "drwxr-xr-x root/root ./usr/lib/calidra/Resources/Scripts/"
for file in Resources/IntelModels.plist Resources/Scripts/installAndRunSpeedItLaunchDaemon.sh \
    Resources/Scripts/uninstallSpeedItLaunchDaemon.sh Resources/translations/calidra_de.qm; do
    has "-rw-r--r-- root/root ./usr/lib/calidra/$file"
done
for file in applications/calidra.desktop icons/hicolor/scalable/apps/calidra.svg \
    metainfo/org.calidra.Calidra.metainfo.xml polkit-1/actions/org.calidra.Calidra.policy \
    man/man1/calidra.1.gz doc/calidra/copyright doc/calidra/changelog.gz; do
    has "-rw-r--r-- root/root ./usr/share/$file"
done
if command -v rsvg-convert >/dev/null; then
    for size in 16 22 24 32 48 64 128 256; do
        has "-rw-r--r-- root/root ./usr/share/icons/hicolor/${size}x${size}/apps/calidra.png"
    done
fi
grep -v " root/root " "$work/files" && fail "entries above are not owned by root"
grep -E '^(-|d).{4}w|^(-|d).{7}w' "$work/files" && fail "entries above are writable by others"
grep -v ' \./usr/' "$work/files" | grep -v '^d.* \./$' && fail "entries above lie outside /usr"

depends=$(dpkg-deb -f "$deb" Depends)
for package in pkexec kmod libqt6svg6 libqt6widgets6 libplist3 libssl3; do
    echo "$depends" | grep -qE "(^|, )$package( |,|$)" || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Suggests)" = gnome-shell-extension-appindicator ] \
    || fail "Suggests is not the GNOME Shell extension that hosts tray icons"

root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "the package does not extract"
policy="$root/usr/share/polkit-1/actions/org.calidra.Calidra.policy"
[ "$(grep -c '<annotate key="org.freedesktop.policykit.exec.path">/usr/lib/calidra/calidra-driver</annotate>' "$policy")" = 2 ] \
    || fail "the polkit actions do not name the helper"
grep -q '<message>Authentication is required to load the processor temperature driver</message>' \
    "$policy" || fail "the load action lacks its message"
[ "$(grep -c '<allow_active>auth_admin_keep</allow_active>' "$policy")" = 2 ] \
    || fail "the actions do not keep the authorization"
if command -v xmllint >/dev/null; then
    xmllint --noout "$policy" || fail "the polkit actions are not well-formed"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/calidra.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/org.calidra.Calidra.metainfo.xml" \
        || fail "AppStream metadata"
fi
# The project has no web site yet: an address there would be a dead link in
# every software centre.
grep -En 'https?://' "$root/usr/share/metainfo/org.calidra.Calidra.metainfo.xml" \
    && fail "the AppStream metadata names a web address"
if command -v lintian >/dev/null; then
    lintian --pedantic "$deb" 2>/dev/null | tee "$work/lintian"
    grep -E '^[EW]:' "$work/lintian" && fail "lintian has errors or warnings"
fi

"$end_to_end" "$root/usr/lib/calidra/calidra" "$@"
