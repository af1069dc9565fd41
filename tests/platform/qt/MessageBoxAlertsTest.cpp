// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/MessageBoxAlerts.h"

#include "QtPrinters.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <tuple>

namespace calidra {
namespace {

TEST(MessageBoxAlertsTest, TextsAreLiteralReturnPressesTheFirstButtonAndEscapeCancel)
{
    const QStringList withCancel{u"Proceed"_qs, u"Cancel and Quit"_qs};
    // The buttons, critical look, the key pressed, the icon expected, the
    // answer (-1: the key left it open).
    using Case = std::tuple<QStringList, bool, Qt::Key, QMessageBox::Icon, int>;
    const Case cases[] = {
        {withCancel, true, Qt::Key_Return, QMessageBox::Critical, 0},
        {withCancel, false, Qt::Key_Escape, QMessageBox::Information, 1},
        {{u"OK"_qs, u"Proceed Anyway"_qs}, false, Qt::Key_Escape, QMessageBox::Information, -1},
    };
    for (const auto& [buttons, critical, key, icon, answer] : cases) {
        SCOPED_TRACE(key);
        QStringList markupLabels;
        QTimer::singleShot(0, [&, key = key, icon = icon] {
            QMessageBox* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            EXPECT_EQ(box->icon(), icon);
            for (const QLabel* label : box->findChildren<QLabel*>()) {
                if (label->textFormat() != Qt::PlainText) {
                    markupLabels.append(label->text());
                }
            }
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(box, &press);
            if (box->isVisible()) {
                box->reject();
            }
        });
        EXPECT_EQ(MessageBoxAlerts().runAlert(
                      {u"<b>Title</b>"_qs, u"<i>not</i>\nmarkup"_qs, buttons, critical}),
                  answer);
        EXPECT_EQ(markupLabels, QStringList());
    }
}

} // namespace
} // namespace calidra
