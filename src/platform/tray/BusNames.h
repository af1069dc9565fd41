// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusMessage>
#include <QString>
#include <QVariantList>

namespace calidra::BusNames {

/// Where a StatusNotifierWatcher serves, under its well-known name.
inline const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
inline const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");

/// A call of `method` on the bus daemon itself.
QDBusMessage busCall(const QString& method, const QVariantList& arguments);

} // namespace calidra::BusNames
