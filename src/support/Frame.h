// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

namespace calidra {

/// A rectangle in the program's own geometry: points, with the origin at the
/// lower-left corner of the parent and y growing upwards. A point is one
/// device-independent pixel on screen.
struct Frame
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    bool operator==(const Frame&) const = default;

    /// The same rectangle in Qt's coordinates (origin at the parent's top-left
    /// corner, y downwards) inside a parent `parentHeight` points high,
    /// rounded to whole pixels. The one place where the two geometries meet.
    QRect toQt(double parentHeight) const;
};

} // namespace calidra
