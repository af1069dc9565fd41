// SPDX-License-Identifier: GPL-3.0-or-later
#include "MenuIntervalValueTransformer.h"

#include "CFormat.h"
#include "platform/Localization.h"

#include <QCoreApplication>

namespace calidra {

QString MenuIntervalValueTransformer::transformedValue(const QVariant& value) const
{
    if (!value.isValid()) {
        return {};
    }
    const QString format =
        localizedFormat(QT_TRANSLATE_NOOP("Calidra", "Updating every %1.1f seconds"));
    return cFormatRuntime(format.toUtf8().constData(), double(value.toFloat()));
}

} // namespace calidra
