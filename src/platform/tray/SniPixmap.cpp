// SPDX-License-Identifier: GPL-3.0-or-later
#include "SniPixmap.h"

#include <QDBusArgument>
#include <QImage>
#include <QtEndian>

namespace calidra {

SniPixmap SniPixmap::fromImage(const QImage& image)
{
    if (image.isNull()) {
        return {};
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    // A row of Format_ARGB32 holds the pixels as 32-bit numbers in the
    // machine's order; the wire wants each one big-endian, rows unpadded.
    const qsizetype rowBytes = qsizetype(argb.width()) * 4;
    SniPixmap pixmap{argb.width(), argb.height(), QByteArray(rowBytes * argb.height(), 0)};
    for (int y = 0; y < argb.height(); ++y) {
        qToBigEndian<quint32>(argb.constScanLine(y), argb.width(),
                              pixmap.bytes.data() + y * rowBytes);
    }
    return pixmap;
}

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap)
{
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.bytes;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap)
{
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.bytes;
    argument.endStructure();
    return argument;
}

} // namespace calidra
