// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of a Qt tray program: a tray icon and a two-second timer that
// reads the sensor's kept-open file. Built with SWITCHING, it also shows the
// other of two icons drawn once at the start, as if the value changed each
// time; built without, the icon never changes.
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <array>

namespace {

QIcon face(const QString& text)
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int fd = ::open("/sys/class/hwmon/hwmon0/temp1_input", O_RDONLY);
    const std::array<QIcon, 2> faces = {face(QStringLiteral("46")), face(QStringLiteral("47"))};
    QSystemTrayIcon tray(faces[0]);
    tray.show();
#ifdef SWITCHING
    std::size_t shown = 0;
#endif
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        std::array<char, 32> value{};
        if (::pread(fd, value.data(), value.size(), 0) < 0) {
            QApplication::exit(1);
        }
#ifdef SWITCHING
        shown = 1 - shown;
        tray.setIcon(faces[shown]);
#endif
    });
    timer.start(2000);
    return QApplication::exec();
}
