// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ValueTransformer.h"

namespace calidra {

/// Formats the sampling interval in seconds as the user's sentence,
/// "Updating every 5.0 seconds", always in the plural.
class MenuIntervalValueTransformer : public ValueTransformer
{
public:
    /// The sentence for an interval in seconds; "" without input.
    QString transformedValue(const QVariant& value) const override;
};

} // namespace calidra
