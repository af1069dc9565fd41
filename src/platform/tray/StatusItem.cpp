// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusItem.h"

namespace calidra {

void StatusItem::setTitle(const StatusTitle& title)
{
    if (title == m_title) {
        return;
    }
    m_title = title;
    emit titleChanged();
}

void StatusItem::setToolTip(const QString& toolTip)
{
    if (toolTip == m_toolTip) {
        return;
    }
    m_toolTip = toolTip;
    emit toolTipChanged();
}

void StatusItem::setMenu(QMenu* menu)
{
    if (menu == m_menu) {
        return;
    }
    m_menu = menu;
    emit menuChanged();
}

void StatusItem::validateMenu() const
{
    if (m_validator) {
        m_validator();
    }
}

void StatusItem::activate() const
{
    if (m_activation) {
        m_activation();
    }
}

void StatusItem::setEnabled(bool enabled)
{
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    emit enabledChanged();
}

} // namespace calidra
