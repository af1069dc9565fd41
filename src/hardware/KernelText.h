// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

namespace calidra {

/// Decodes text that comes from the kernel (names, model identifiers, values).
/// Valid UTF-8 is read as such; any other bytes are read one character per byte
/// (ISO 8859-1), so that decoding never fails and never drops a byte.
QString decodeKernelText(QByteArrayView bytes);

} // namespace calidra
