// SPDX-License-Identifier: GPL-3.0-or-later
#include "KernelText.h"

#include <QByteArray>

namespace calidra {

QString decodeKernelText(QByteArrayView bytes)
{
    if (bytes.isEmpty()) {
        return QString(u""_qs);
    }
    const QByteArray data = bytes.toByteArray();
    return data.isValidUtf8() ? QString::fromUtf8(data) : QString::fromLatin1(data);
}

} // namespace calidra
