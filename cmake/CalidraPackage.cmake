# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, made by CPack's DEB generator from the install rules:
# one build system lists the files once, and the archive gets root as the
# owner of every file without fakeroot. `scripts/package.sh` builds it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME calidra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Calidra developers <developers@calidra.org>")
set(CPACK_STRIP_FILES ON)
# Everything that `cmake --install` installs, and the package's own component.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};Calidra;Unspecified;/"
    "${CMAKE_BINARY_DIR};Calidra;package;/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "processor temperature monitor for the system tray
Calidra shows the processor's temperature in the system tray and, on x86
machines, its current clock frequency. It keeps the minimum, average and
maximum of the last ten minutes and of the whole run, shows them in a
statistics window that copies or saves a plain-text report, and can load the
processor's temperature driver through a polkit action.")
# The libraries the program links, found by dpkg-shlibdeps; Qt's SVG plugins,
# which draw its icons and are loaded rather than linked; and what it runs:
# pkexec for the driver and modprobe from kmod.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, pkexec, kmod")
# GNOME Shell shows no tray icons without this extension.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS gnome-shell-extension-appindicator)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/resources/package/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
