// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ValueTransformer.h"

namespace calidra {

/// Spells out a duration in seconds in weeks, days, hours, minutes and
/// seconds, leaving out the units that are 0: "1 hour, 2 minutes, 5 seconds".
class TimeIntervalValueTransformer : public ValueTransformer
{
public:
    /// The text for a duration in seconds, taken as a whole number of seconds
    /// truncated toward zero; "0 seconds" for 0 and "" without input.
    QString transformedValue(const QVariant& value) const override;
};

} // namespace calidra
