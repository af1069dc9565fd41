# SPDX-License-Identifier: GPL-3.0-or-later
# Loads the processor temperature driver that fits this processor and has it
# loaded at every boot. Runs as root, started through pkexec.
#
# The vendor of /proc/cpuinfo picks the driver: coretemp for Intel, k10temp for
# AMD and Hygon. Any other vendor ends the script with a failure before
# anything changes. The driver is loaded first; only when that works is the
# boot file written, so a driver this kernel lacks leaves no trace behind.
# The boot file belongs to this program alone and is replaced atomically.

set -eu
PATH=/usr/sbin:/usr/bin:/sbin:/bin
export PATH
umask 022

folder=/etc/modules-load.d
conf="$folder/calidra.conf"

# The first vendor line: every processor repeats it.
vendor=$(sed -n '/^vendor_id[[:space:]]*:/{s/^[^:]*:[[:space:]]*//;p;q;}' /proc/cpuinfo)

case "$vendor" in
GenuineIntel) driver=coretemp ;;
AuthenticAMD | HygonGenuine) driver=k10temp ;;
*)
    echo "no processor temperature driver for vendor '$vendor'" >&2
    exit 1
    ;;
esac

modprobe "$driver"

mkdir -p "$folder"
tmp=$(mktemp "$folder/.calidra.XXXXXX")
trap 'rm -f "$tmp"' EXIT
trap 'exit 1' HUP INT TERM
printf '%s\n%s\n' '# Processor temperature driver for Calidra.' "$driver" >"$tmp"
chmod 644 "$tmp"
mv -f "$tmp" "$conf"
trap - EXIT
