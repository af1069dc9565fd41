// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QSystemTrayIcon>

// Exits with 0 when a system tray takes icons on the display, as the program
// will find it (under X11: the tray owns its selection), and with 1 otherwise.
int main(int argc, char* argv[])
{
    const QApplication application(argc, argv);
    return QSystemTrayIcon::isSystemTrayAvailable() ? 0 : 1;
}
