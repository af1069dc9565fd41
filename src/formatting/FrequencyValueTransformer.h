// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ValueTransformer.h"

namespace calidra {

/// Formats a clock frequency in megahertz with two decimals: in GHz from
/// 1000 MHz up ("2.67 GHz"), else in MHz ("800.00 MHz").
class FrequencyValueTransformer : public ValueTransformer
{
public:
    /// The text for a frequency in megahertz; "" without input.
    QString transformedValue(const QVariant& value) const override;
};

} // namespace calidra
