// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/MessageBoxAlerts.h"

#include "platform/Localization.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace calidra {
namespace {

// "Cancel" and the titles that begin with it ("Cancel and Quit"), in the
// user's language.
bool isCancelTitle(const QString& title)
{
    return title.startsWith(localizedString(QT_TRANSLATE_NOOP("Calidra", "Cancel")));
}

} // namespace

int MessageBoxAlerts::runAlert(const Request& request)
{
    QMessageBox box;
    box.setIcon(request.critical ? QMessageBox::Critical : QMessageBox::Information);
    box.setText(request.messageText);
    box.setInformativeText(request.informativeText);
    // The box's labels would otherwise guess rich text from their content; every
    // text is meant literally, the informative one included.
    for (QLabel* label : box.findChildren<QLabel*>()) {
        label->setTextFormat(Qt::PlainText);
    }
    QList<QAbstractButton*> buttons;
    for (const QString& title : request.buttonTitles) {
        // Action roles leave Escape and the window's close button without a
        // button to press: a dismissed alert picks no answer, unless it has
        // a Cancel button, which Escape presses.
        buttons.append(box.addButton(title, buttons.isEmpty() ? QMessageBox::AcceptRole
                                                              : QMessageBox::ActionRole));
        if (isCancelTitle(title) && !box.escapeButton()) {
            box.setEscapeButton(buttons.last());
        }
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
    }
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

} // namespace calidra
