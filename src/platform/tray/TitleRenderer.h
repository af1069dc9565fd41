#pragma once

#include <QIcon>
#include <QImage>
#include <QStringList>

namespace calidra {

/// Draws the face a tray shows in a square slot: the values, bold, as tall
/// as the slot allows, on a dark plate that reads on light and dark panels;
/// one value on one line, two stacked. A value too wide for the slot first
/// loses its unit, then its decimals, and only then do its digits shrink.
/// With an image, the image stands at the left while the digits keep their
/// least height, and is left out otherwise. With no values the face is the
/// image alone, or an ellipsis on the plate when there is no image either.
class TitleRenderer
{
public:
    /// The face for a slot of `side` logical pixels, at `pixelRatio` device
    /// pixels each: an ARGB32 premultiplied image of side × pixelRatio pixels
    /// (rounded up), its device pixel ratio set.
    static QImage render(const QStringList& values, const QIcon& image, int side,
                         qreal pixelRatio = 1.0);

    /// An icon that draws the face at whatever size it is painted or asked
    /// for, each size drawn once when first needed.
    static QIcon icon(const QStringList& values, const QIcon& image);
};

} // namespace calidra
