// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>
#include <QStringList>

namespace calidra {

/// Draws the face a tray shows in a square slot: the values, bold, as tall
/// as the slot allows, on a dark plate that reads on light and dark panels;
/// one value on one line, two stacked (values are trimmed, empty ones left
/// out, and those past the second are not shown). No line is drawn below 8
/// device pixels: where two stacked values cannot keep that, the first is
/// drawn alone. A value too wide for the
/// slot is first condensed to 0.6 of its width, then loses its unit, then its
/// decimals, and only then do its digits shrink. With an image, the image's
/// drawn part stands at the left, at the slot's height, while the digits keep
/// their least height (12 logical pixels alone, 9 stacked, less in slots
/// under 22), and is left out otherwise. With no values the face is the image
/// alone, or an ellipsis on the plate when there is no image either (an image
/// that draws nothing counts as none). While the alarm is on, the plate is
/// red: white digits on red read on light and dark panels too.
class TitleRenderer
{
public:
    /// The face for a slot of `side` logical pixels, at `pixelRatio` device
    /// pixels each: an ARGB32 premultiplied image of side × pixelRatio pixels
    /// (rounded up), its device pixel ratio set. The side is held to 1..512
    /// and the ratio to 0.25..4; a ratio that is not a positive number is 1.
    static QImage render(const QStringList& values, const QIcon& image, int side,
                         qreal pixelRatio = 1.0, bool alarm = false);

    /// An icon that draws the face at whatever size it is painted or asked
    /// for, each size and ratio drawn once when first needed (FaceIconEngine).
    static QIcon icon(const QStringList& values, const QIcon& image, bool alarm = false);
};

} // namespace calidra
