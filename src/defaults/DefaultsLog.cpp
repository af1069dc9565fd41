// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/DefaultsLog.h"

namespace calidra {

Q_LOGGING_CATEGORY(defaultsLog, "calidra.defaults", QtWarningMsg)

} // namespace calidra
