// SPDX-License-Identifier: GPL-3.0-or-later
#include "ApplicationActivation.h"

#include <QApplication>
#include <QThread>
#include <QWidget>

namespace calidra {

void activateIgnoringOtherApps()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            window->raise();
            window->activateWindow();
            return;
        }
    }
}

void showInFront(QWidget* window)
{
    activateIgnoringOtherApps();
    window->show();
    window->raise();
    window->activateWindow();
}

// The program's own event loop is the first level; each dialog's exec(), and
// every other wait, adds one.
bool isModalLoopRunning()
{
    return QThread::currentThread()->loopLevel() > 1;
}

void raiseModalWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

} // namespace calidra
