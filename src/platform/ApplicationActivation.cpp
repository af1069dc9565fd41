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

} // namespace calidra
