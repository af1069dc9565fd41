// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <functional>

namespace calidra {

/// Tells the user that the desktop shows Calidra nowhere, what to do about
/// it on this desktop, and offers to open the statistics window: as a
/// desktop notification, or, where the desktop has no notification service,
/// as a small window of its own that waits for nobody. Withdrawn when the
/// item shows after all.
class TrayNotice : public QObject
{
    Q_OBJECT

public:
    /// `openStatistics` opens the statistics window; `currentDesktop` is
    /// XDG_CURRENT_DESKTOP's value, which decides the advice.
    TrayNotice(std::function<void()> openStatistics, const QString& currentDesktop,
               QObject* parent = nullptr);
    ~TrayNotice() override;

    /// Shows the notice; a notice already shown is shown anew.
    void show();
    /// Takes the notice away, wherever it is shown.
    void withdraw();

    /// The notice's window, while it is shown in one; null otherwise.
    QMessageBox* window() const { return m_window; }

    /// What to do, on the desktop `currentDesktop`, to see the item.
    static QString advice(const QString& currentDesktop);

private:
    void showWindow();
    void openStatistics();

    std::function<void()> m_openStatistics;
    QString m_currentDesktop;
    QPointer<QMessageBox> m_window;
    bool m_shown = false;
};

} // namespace calidra
