// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace calidra {

/// "calidra.hardware": what the hardware layer saw and chose (hwmon devices
/// and their labels, thermal zones, the processor folder that gives the
/// clock, the gauge chosen for the machine, the driver offer's decision) and
/// why. Only warnings are on by default and nothing here warns, so the
/// program writes nothing unless a user turns the debug messages on
/// (QT_LOGGING_RULES="calidra.hardware.debug=true").
Q_DECLARE_LOGGING_CATEGORY(hardwareLog)

} // namespace calidra
