// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace calidra {

/// Why the tray shows the item as it does: the face chosen and why, the
/// watcher's answers, registrations and lost connections. Silent unless
/// turned on (QT_LOGGING_RULES="calidra.tray.debug=true").
Q_DECLARE_LOGGING_CATEGORY(trayLog)

} // namespace calidra
