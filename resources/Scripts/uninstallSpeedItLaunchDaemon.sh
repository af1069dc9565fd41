# SPDX-License-Identifier: GPL-3.0-or-later
# Removes what the install script set up: the boot file that loads the
# processor temperature driver at every boot. Runs as root, started through
# pkexec. The driver stays loaded, since other programs may read it.
#
# The root shell reads this script from its standard input, and the program
# may move its own bundle to the Trash once it has ended, so it uses no other
# file of the bundle.

set -eu
PATH=/usr/sbin:/usr/bin:/sbin:/bin
export PATH

rm -f /etc/modules-load.d/calidra.conf
