// SPDX-License-Identifier: GPL-3.0-or-later
#include "DisplaySettings.h"

#include "defaults/Settings.h"
#include "defaults/UserDefaults.h"
#include "formatting/TemperatureValueTransformer.h"

#include <QFontDatabase>
#include <QLocale>

#include <algorithm>

namespace calidra {
namespace {

// At this size and below a one-line title is bold, and a two-line title is
// never larger.
constexpr float BoldTitleSize = 9.0F;

} // namespace

DisplaySettings DisplaySettings::read(const UserDefaults& defaults)
{
    using namespace Settings;
    DisplaySettings settings;
    settings.twoLines = defaults.value<GaugeTemperature>() && defaults.value<GaugeFrequency>() &&
                        defaults.value<ArrangeVertically>();
    settings.titleFont = fontFor(defaults.value<FontSize>(), settings.twoLines);
    settings.showIcon = defaults.value<ShowIcon>();
    const qint64 unit = defaults.value<DisplayUnit>();
    // The locale is asked only where the choice is automatic.
    settings.fahrenheit = TemperatureValueTransformer::showsFahrenheit(
        unit,
        unit == DisplayUnit::byLocale ? QLocale().measurementSystem() : QLocale::MetricSystem);
    return settings;
}

QFont DisplaySettings::systemFont(qreal pointSize, bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont DisplaySettings::fontFor(float size, bool twoLines)
{
    return twoLines ? systemFont(std::min(size, BoldTitleSize), true)
                    : systemFont(size, !(size > BoldTitleSize));
}

} // namespace calidra
