// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlausibleTemperature.h"

namespace calidra {

bool PlausibleTemperature::contains(double celsius)
{
    // Written so that NaN, which fails every comparison, fails the test.
    return celsius > 0.0 && celsius <= Hottest;
}

} // namespace calidra
