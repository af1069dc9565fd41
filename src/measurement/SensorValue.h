// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariant>

#include <optional>

namespace calidra {

/// The float value of a sensor-table or registry value: a number as it is,
/// text by its leading decimal number ("45.5 C" is 45.5; leading blanks and a
/// sign are allowed, the decimal point is always "."). Absent for text without
/// a leading number, for every value that is not finite in 32 bits ("nan",
/// "inf", 1e39), for booleans, byte strings, containers and the invalid
/// QVariant.
class SensorValue
{
public:
    static std::optional<float> floatValue(const QVariant& value);
};

} // namespace calidra
