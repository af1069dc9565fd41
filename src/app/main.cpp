// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TemperatureController.h"
#include "defaults/UserDefaults.h"
#include "hardware/IORegistry.h"
#include "hardware/KernelValues.h"
#include "platform/ApplicationTermination.h"
#include "platform/Bundle.h"
#include "platform/linux/PkexecLauncher.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/qt/MessageBoxAlerts.h"
#include "platform/tray/DesktopNotifications.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

using namespace calidra;

namespace {

// Qt aborts with a page of advice when it finds no display; without one the
// tray cannot be shown, and one line says so. A chosen Qt platform (such as
// offscreen) is left to Qt.
bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Qt's X11 backing store shares its pixels with the server through MIT-SHM
// and, before each paint over pixels the server may still read, waits for
// a round trip to the server: at every change of the tray icon. Without it,
// a paint is sent over the connection and copied on the server's side,
// without a wait; the program's windows are small enough for that. A user
// who set the variable keeps their choice.
void avoidRoundTripsOnPaint()
{
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (!hasDisplay()) {
        std::fputs("calidra: no display to show the tray on (neither DISPLAY nor "
                   "WAYLAND_DISPLAY is set)\n",
                   stderr);
        return 1;
    }
    // Until the event loop runs, a signal ends the program at once.
    TerminationSignals::install();
    avoidRoundTripsOnPaint();
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Calidra"_qs);
    QApplication::setOrganizationName(u"Calidra"_qs);
    QApplication::setApplicationVersion(QStringLiteral(CALIDRA_VERSION));
    // The program lives in the tray: closing its windows must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    const Bundle bundle(QApplication::applicationDirPath());
    QTranslator translator;
    if (translator.load(QLocale(), u"calidra"_qs, u"_"_qs,
                        bundle.resourcePath() + u"/translations"_qs)) {
        QApplication::installTranslator(&translator);
    }
    const IORegistry registry(u"/"_qs);
    KernelValues kernelValues(u"/"_qs);
    UserDefaults defaults(UserDefaults::adoptLegacyFile(UserDefaults::standardFilePath()));
    MessageBoxAlerts alerts;
    PkexecLauncher launcher;
    DesktopNotifications notifications;
    const ApplicationTermination termination;

    TemperatureController controller;
    controller.awakeFromNib();
    if (termination.isTerminationRequested()) {
        return 0;
    }
    const TerminationSignals terminationSignals;
    return QApplication::exec();
}
