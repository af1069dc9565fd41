# SPDX-License-Identifier: GPL-3.0-or-later
# Tells whether a processor temperature driver is loaded: prints 1 when
# coretemp, k10temp or zenpower is, else 0. Runs without privileges, prints
# exactly one line and always exits 0.
#
# A driver counts as loaded when the kernel lists it as a module, or when one
# of the hwmon devices carries its name: a driver built into the kernel without
# parameters has no folder under /sys/module but still registers its device.

drivers='coretemp k10temp zenpower'

loaded() {
    for driver in $drivers; do
        if [ -e "/sys/module/$driver" ]; then
            return 0
        fi
    done
    for file in /sys/class/hwmon/*/name; do
        [ -f "$file" ] || continue
        name=
        # A name file without a final line feed still sets the name.
        IFS= read -r name 2>/dev/null <"$file" || :
        for driver in $drivers; do
            if [ "$name" = "$driver" ]; then
                return 0
            fi
        done
    done
    return 1
}

if loaded; then
    echo 1
else
    echo 0
fi
exit 0
