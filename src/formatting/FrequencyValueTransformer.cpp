// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrequencyValueTransformer.h"

#include "CFormat.h"

namespace calidra {

// The threshold is tested on the raw value, so 999.999 shows as
// "1000.00 MHz"; NaN fails the test and shows in MHz.
QString FrequencyValueTransformer::transformedValue(const QVariant& value) const
{
    if (!value.isValid()) {
        return {};
    }
    const float megahertz = value.toFloat();
    if (megahertz >= 1000.0f) {
        return cFormat("%1.2f GHz", megahertz / 1000.0);
    }
    return cFormat("%1.2f MHz", double(megahertz));
}

} // namespace calidra
