// SPDX-License-Identifier: GPL-3.0-or-later
#include "TimeIntervalValueTransformer.h"

#include "CFormat.h"
#include "platform/Localization.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace calidra {
namespace {

// Each unit's formats, the plural first and the singular second, marked for
// the translation tool under the program's one context.
using Formats = const char* const[2];
constexpr Formats weeksFormats = {QT_TRANSLATE_NOOP("Calidra", "%i weeks"),
                                  QT_TRANSLATE_NOOP("Calidra", "%i week")};
constexpr Formats daysFormats = {QT_TRANSLATE_NOOP("Calidra", "%i days"),
                                 QT_TRANSLATE_NOOP("Calidra", "%i day")};
constexpr Formats hoursFormats = {QT_TRANSLATE_NOOP("Calidra", "%i hours"),
                                  QT_TRANSLATE_NOOP("Calidra", "%i hour")};
constexpr Formats minutesFormats = {QT_TRANSLATE_NOOP("Calidra", "%i minutes"),
                                    QT_TRANSLATE_NOOP("Calidra", "%i minute")};
constexpr Formats secondsFormats = {QT_TRANSLATE_NOOP("Calidra", "%i seconds"),
                                    QT_TRANSLATE_NOOP("Calidra", "%i second")};

struct Unit
{
    qint32 seconds;
    const Formats& formats;
};

constexpr Unit units[] = {{604800, weeksFormats},
                          {86400, daysFormats},
                          {3600, hoursFormats},
                          {60, minutesFormats},
                          {1, secondsFormats}};

// The whole seconds of value, truncated toward zero. Converting NaN or a
// number outside the 32-bit range to an integer is undefined, so such a
// number is clamped to the range first and NaN counts as 0.
qint32 wholeSeconds(const QVariant& value)
{
    const double seconds = value.toDouble();
    if (std::isnan(seconds)) {
        return 0;
    }
    using Limits = std::numeric_limits<qint32>;
    return static_cast<qint32>(std::clamp(seconds, double(Limits::min()), double(Limits::max())));
}

QString part(const Formats& formats, qint32 count)
{
    return cFormatRuntime(localizedFormat(formats[count == 1 ? 1 : 0]).toUtf8().constData(), count);
}

} // namespace

// Truncating division keeps a negative duration's parts all negative, e.g.
// -61 gives "-1 minutes, -1 seconds".
QString TimeIntervalValueTransformer::transformedValue(const QVariant& value) const
{
    if (!value.isValid()) {
        return {};
    }
    qint32 rest = wholeSeconds(value);
    QStringList parts;
    for (const Unit& unit : units) {
        const qint32 count = rest / unit.seconds;
        rest -= count * unit.seconds;
        if (count != 0) {
            parts << part(unit.formats, count);
        }
    }
    if (parts.isEmpty()) {
        parts << part(secondsFormats, 0);
    }
    return parts.join(u", "_qs);
}

} // namespace calidra
