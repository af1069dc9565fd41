// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace calidra {

/// Fills a format whose conversions are all "%@": each "%@" takes the next
/// argument as it is and each "%%" becomes "%". The arguments are not read
/// as formats themselves. A "%@" with no argument left becomes empty text;
/// arguments left over are ignored.
QString stringWithFormat(const QString& format, const QStringList& arguments);

} // namespace calidra
