#include "platform/qt/MessageBoxAlerts.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace calidra {

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
        // button to press: a dismissed alert must not pick an answer.
        buttons.append(box.addButton(title, buttons.isEmpty() ? QMessageBox::AcceptRole
                                                              : QMessageBox::ActionRole));
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
    }
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

} // namespace calidra
