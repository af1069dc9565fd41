// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "defaults/UserDefaults.h"
#include "platform/SettingsPages.h"

#include <QAbstractButton>
#include <QSignalBlocker>
#include <QWidget>

#include <functional>

class QPushButton;

namespace calidra {

/// One pane of the preferences window: a view whose controls read and write
/// the user defaults directly and follow changes made to them elsewhere, so
/// that the running program sees each change at once and the pane never
/// shows a stale value. The helpers below are how a pane binds its controls;
/// each binding lasts as long as the pane. Main thread only.
class PreferencePane : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

protected:
    /// The process-wide user defaults, which exist while any pane does.
    static UserDefaults& defaults() { return *UserDefaults::standardUserDefaults(); }

    /// Calls `show` now and again after every change of `key`.
    void follow(const QString& key, const std::function<void()>& show);

    /// Binds a check box or switch to the boolean setting `Key` both ways; the
    /// button shows a changed setting without writing it back.
    template <typename Key>
    void bindSwitch(QAbstractButton* button)
    {
        follow(Key::name, [button] {
            const QSignalBlocker blocker(button);
            button->setChecked(defaults().value<Key>());
        });
        connect(button, &QAbstractButton::clicked, this,
                [](bool on) { defaults().setValue<Key>(on); });
    }

    /// Makes `button` open the desktop's settings tool on `page` where the
    /// desktop has one; elsewhere the button is disabled and its tooltip is
    /// the translation of `missing`, which says so.
    void bindSettingsPage(QPushButton* button, SettingsPages::Page page, const char* missing);
};

} // namespace calidra
