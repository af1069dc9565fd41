// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Frame.h"

#include <cmath>

namespace calidra {

QRect Frame::toQt(double parentHeight) const
{
    return QRect(int(std::lround(x)), int(std::lround(parentHeight - y - height)),
                 int(std::lround(width)), int(std::lround(height)));
}

} // namespace calidra
