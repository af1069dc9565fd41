// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrayLog.h"

namespace calidra {

Q_LOGGING_CATEGORY(trayLog, "calidra.tray", QtWarningMsg)

} // namespace calidra
