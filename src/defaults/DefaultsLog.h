// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace calidra {

/// "calidra.defaults": a stored setting that was corrected at start-up or that
/// could not be read and gave way to its fallback, and why. Only warnings are
/// on by default and nothing here warns, so nothing is written unless a user
/// turns the debug messages on (QT_LOGGING_RULES="calidra.defaults.debug=true").
Q_DECLARE_LOGGING_CATEGORY(defaultsLog)

} // namespace calidra
