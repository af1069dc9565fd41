// SPDX-License-Identifier: GPL-3.0-or-later
#include "HardwareLog.h"

namespace calidra {

Q_LOGGING_CATEGORY(hardwareLog, "calidra.hardware", QtWarningMsg)

} // namespace calidra
