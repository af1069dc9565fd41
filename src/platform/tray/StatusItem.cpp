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

void StatusItem::setTitle(const StatusTitle& title, std::function<QString()> composeToolTip)
{
    const bool toolTipTaken = takeToolTip(std::move(composeToolTip));
    if (!(title == m_title)) {
        m_title = title;
        emit titleChanged();
    } else if (toolTipTaken) {
        emit toolTipChanged();
    }
}

const QString& StatusItem::toolTip() const
{
    if (m_composeToolTip) {
        m_toolTip = m_composeToolTip();
        m_composeToolTip = nullptr;
    }
    return m_toolTip;
}

void StatusItem::setToolTip(const QString& toolTip)
{
    if (!m_composeToolTip && toolTip == m_toolTip) {
        return;
    }
    m_composeToolTip = nullptr;
    m_toolTip = toolTip;
    ++m_toolTipRevision;
    emit toolTipChanged();
}

void StatusItem::setToolTip(std::function<QString()> compose)
{
    if (takeToolTip(std::move(compose))) {
        emit toolTipChanged();
    }
}

// A tooltip to compose counts as a change: it is given only when it changed.
bool StatusItem::takeToolTip(std::function<QString()> compose)
{
    if (!compose) {
        return false;
    }
    m_composeToolTip = std::move(compose);
    m_toolTip.clear();
    ++m_toolTipRevision;
    return true;
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
