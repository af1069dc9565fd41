// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SniPixmap.h"

#include <QString>

namespace calidra {

/// The tooltip of a StatusNotifierItem as it travels on D-Bus, the
/// "(sa(iiay)ss)" of its ToolTip property: an icon by name and by pictures,
/// a title and a text below it.
struct SniToolTip
{
    QString iconName;
    SniPixmapList iconPixmaps;
    QString title;
    QString text;
};

QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& toolTip);

} // namespace calidra

Q_DECLARE_METATYPE(calidra::SniToolTip)
