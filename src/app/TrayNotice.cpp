// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrayNotice.h"

#include "platform/Localization.h"
#include "platform/tray/Notifications.h"

#include <QMessageBox>
#include <QPushButton>

namespace calidra {
namespace {

const QString StatisticsAction = QStringLiteral("statistics");

const char* const Summary = QT_TRANSLATE_NOOP("Calidra", "Calidra cannot be shown in the panel");
const char* const Running =
    QT_TRANSLATE_NOOP("Calidra", "Calidra is running, but nothing shows it.");
const char* const OpenStatistics = QT_TRANSLATE_NOOP("Calidra", "Open Statistics");

bool runsOn(const QString& currentDesktop, const QStringList& desktops)
{
    const QStringList current = currentDesktop.split(u':', Qt::SkipEmptyParts);
    return std::any_of(current.begin(), current.end(), [&desktops](const QString& desktop) {
        return desktops.contains(desktop, Qt::CaseInsensitive);
    });
}

} // namespace

TrayNotice::TrayNotice(std::function<void()> openStatistics, const QString& currentDesktop,
                       QObject* parent)
    : QObject(parent), m_openStatistics(std::move(openStatistics)), m_currentDesktop(currentDesktop)
{}

TrayNotice::~TrayNotice()
{
    withdraw();
}

// GNOME Shell hosts no tray icons of its own; wlroots compositors have none
// but a bar's; other desktops have a tray that was taken off the panel.
QString TrayNotice::advice(const QString& currentDesktop)
{
    if (runsOn(currentDesktop, {u"GNOME"_qs, u"ubuntu"_qs})) {
        return localizedString(QT_TRANSLATE_NOOP(
            "Calidra", "GNOME Shell shows tray icons only with an extension: turn on "
                       "“AppIndicator and KStatusNotifierItem Support” in the Extensions app "
                       "(Debian package gnome-shell-extension-appindicator), then log out and "
                       "in again."));
    }
    if (runsOn(currentDesktop, {u"sway"_qs, u"Hyprland"_qs, u"river"_qs, u"wlroots"_qs,
                                u"Wayfire"_qs, u"niri"_qs, u"labwc"_qs})) {
        return localizedString(QT_TRANSLATE_NOOP(
            "Calidra", "This desktop shows tray icons only in a bar with a tray: start one, "
                       "for example waybar with its “tray” module."));
    }
    return localizedString(QT_TRANSLATE_NOOP(
        "Calidra", "This desktop has no system tray to show it in: add a system tray "
                   "(notification area) to your panel."));
}

void TrayNotice::show()
{
    m_shown = true;
    const QString body = localizedString(Running) + u' ' + advice(m_currentDesktop);
    Notifications::send(Notifications::Topic::Notice,
                        {localizedString(Summary),
                         body,
                         false,
                         {{StatisticsAction, localizedString(OpenStatistics)}}},
                        {[this](const QString& action) {
                             if (action == StatisticsAction) {
                                 openStatistics();
                             }
                         },
                         [this] { showWindow(); }});
}

void TrayNotice::withdraw()
{
    m_shown = false;
    Notifications::withdraw(Notifications::Topic::Notice);
    if (m_window) {
        m_window->close();
    }
}

// A window that waits for nobody: the program goes on while it is open.
void TrayNotice::showWindow()
{
    if (!m_shown || m_window) {
        return;
    }
    m_window = new QMessageBox(QMessageBox::Information, u"Calidra"_qs, localizedString(Summary));
    m_window->setInformativeText(localizedString(Running) + u' ' + advice(m_currentDesktop));
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* open =
        m_window->addButton(localizedString(OpenStatistics), QMessageBox::AcceptRole);
    m_window->addButton(localizedString(QT_TRANSLATE_NOOP("Calidra", "Close")),
                        QMessageBox::RejectRole);
    m_window->setDefaultButton(open);
    connect(open, &QPushButton::clicked, this, &TrayNotice::openStatistics);
    m_window->setModal(false);
    m_window->show();
}

void TrayNotice::openStatistics()
{
    if (m_openStatistics) {
        m_openStatistics();
    }
}

} // namespace calidra
