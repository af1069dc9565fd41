// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>

class QDBusArgument;
class QImage;

namespace calidra {

/// One picture of a StatusNotifierItem icon as it travels on D-Bus, the
/// "(iiay)" of the icon properties: its size and its pixels as ARGB32 in
/// network byte order, row by row, each pixel alpha, red, green, blue.
struct SniPixmap
{
    int width = 0;
    int height = 0;
    QByteArray bytes;

    /// The picture of `image`, not premultiplied; a null image gives an empty
    /// picture.
    static SniPixmap fromImage(const QImage& image);
};

/// The pictures of one icon, a host picking the size that fits its panel.
using SniPixmapList = QList<SniPixmap>;

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap);

} // namespace calidra

Q_DECLARE_METATYPE(calidra::SniPixmap)
