// SPDX-License-Identifier: GPL-3.0-or-later
#include "ApplicationActivation.h"

#include <QApplication>
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

} // namespace calidra
