// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusPresenter.h"

#include "defaults/Settings.h"
#include "defaults/UserDefaults.h"
#include "formatting/CFormat.h"
#include "formatting/ObjectFormat.h"
#include "measurement/GaugeReader.h"
#include "measurement/TemperatureAlarm.h"
#include "platform/Bundle.h"
#include "platform/Localization.h"
#include "platform/MenuItem.h"

namespace calidra {
namespace {

// The widest values shown, in degrees Celsius and in megahertz.
constexpr double WidestTemperature = 188.0;
constexpr double WidestFrequency = 888.88;

const char* const HotSummary = QT_TRANSLATE_NOOP("Calidra", "The processor is hot");

// The statistic an information item shows, by its tag: the ten-minute ones
// first, then the overall ones, each minimum, average, maximum.
float statistic(const StatusReadings::Reader& reader, int tag)
{
    return reader.statistics[std::size_t(tag - StatusPresenter::TenMinuteMinimumTag)];
}

const char* label(int tag)
{
    switch (tag) {
    case StatusPresenter::TenMinuteMinimumTag:
    case StatusPresenter::OverallMinimumTag:
        return QT_TRANSLATE_NOOP("Calidra", "Minimum");
    case StatusPresenter::TenMinuteAverageTag:
    case StatusPresenter::OverallAverageTag:
        return QT_TRANSLATE_NOOP("Calidra", "Average");
    default:
        return QT_TRANSLATE_NOOP("Calidra", "Maximum");
    }
}

// A reader's statistics are shown only once they hold an accepted reading:
// before, they are the seed of a sensor that gave nothing.
bool showsStatistics(const StatusReadings::Reader& reader)
{
    return reader.exists && reader.hasStatistics;
}

bool isStatisticsTag(int tag)
{
    return tag >= StatusPresenter::TenMinuteMinimumTag && tag <= StatusPresenter::OverallMaximumTag;
}

} // namespace

StatusPresenter::StatusPresenter()
{
    const Bundle* bundle = Bundle::mainBundle();
    const std::optional<QString> icon =
        bundle ? bundle->pathForResource(u"Status Icon"_qs, u"svg"_qs) : std::nullopt;
    if (icon) {
        m_icon = QIcon(*icon);
    }
}

StatusTitle StatusPresenter::initialTitle(const UserDefaults& defaults) const
{
    return {localizedString(QT_TRANSLATE_NOOP("Calidra", "Please wait...")),
            DisplaySettings::systemFont(defaults.value<Settings::FontSize>(), false),
            defaults.value<Settings::ShowIcon>() ? m_icon : QIcon(),
            {},
            {}};
}

StatusTitle StatusPresenter::composeTitle(const UserDefaults& defaults,
                                          const GaugeReader* temperature,
                                          const GaugeReader* frequency,
                                          const TemperatureAlarm* alarm) const
{
    return composeTitle(DisplaySettings::read(defaults),
                        StatusReadings::of(temperature, frequency, alarm));
}

StatusTitle StatusPresenter::composeTitle(const DisplaySettings& settings,
                                          const StatusReadings& readings) const
{
    StatusTitle title;
    title.font = settings.titleFont;
    title.text = currentTexts(readings, settings.fahrenheit, &title.values)
                     .join(settings.twoLines ? u'\n' : u' ');
    title.image = settings.showIcon ? m_icon : QIcon();
    title.labelGuide = labelGuide(readings, settings.fahrenheit);
    title.alarm = readings.alarm;
    return title;
}

QStringList StatusPresenter::values(const DisplaySettings& settings,
                                    const StatusReadings& readings) const
{
    QStringList values;
    currentTexts(readings, settings.fahrenheit, &values);
    return values;
}

// Digits are as wide as each other in the fonts panels use, so three-digit
// temperatures (in any unit) and six-digit megahertz are the widest texts.
QString StatusPresenter::labelGuide(const StatusReadings& readings, bool fahrenheit) const
{
    QStringList widest;
    if (readings.temperature.exists) {
        widest.append(tvt1.transformedValue(float(WidestTemperature), fahrenheit));
    }
    if (readings.frequency.exists) {
        widest.append(fvt.transformedValue(WidestFrequency));
    }
    return widest.join(u' ');
}

// Each reader's current value, or "No reading" for a reader that has none.
// The values go to `values`, what drawn faces and panel labels show, where a
// reader without a reading is "?": as tall as the digits in a tray slot, where
// an empty face would look like the wait at start-up.
QStringList StatusPresenter::currentTexts(const StatusReadings& readings, bool fahrenheit,
                                          QStringList* values) const
{
    QStringList texts;
    for (const StatusReadings::Reader* reader : {&readings.temperature, &readings.frequency}) {
        if (!reader->exists) {
            continue;
        }
        if (reader->noReading) {
            texts.append(localizedString(QT_TRANSLATE_NOOP("Calidra", "No reading")));
            values->append(u"?"_qs);
            continue;
        }
        texts.append(reader == &readings.temperature
                         ? tvt1.transformedValue(reader->current, fahrenheit)
                         : fvt.transformedValue(reader->current));
        values->append(texts.back());
    }
    return texts;
}

QString StatusPresenter::noReadingReasons(const StatusReadings& readings)
{
    QStringList reasons;
    for (const StatusReadings::Reader* reader : {&readings.temperature, &readings.frequency}) {
        if (reader->exists && reader->noReading) {
            reasons.append(reader->noReadingReason);
        }
    }
    return reasons.join(u' ');
}

QString StatusPresenter::toolTip(const GaugeReader* temperature, const GaugeReader* frequency,
                                 const TemperatureAlarm* alarm) const
{
    return toolTip(StatusReadings::of(temperature, frequency, alarm),
                   TemperatureValueTransformer::showsFahrenheit());
}

QString StatusPresenter::toolTip(const StatusReadings& readings, bool fahrenheit) const
{
    if (!readings.temperature.exists && !readings.frequency.exists) {
        return {};
    }
    QStringList values;
    QStringList lines{currentTexts(readings, fahrenheit, &values).join(u' ')};
    if (readings.alarm) {
        lines.append(localizedString(HotSummary));
    }
    if (const QString reasons = noReadingReasons(readings); !reasons.isEmpty()) {
        lines.append(reasons);
    }
    if (!showsStatistics(readings.temperature) && !showsStatistics(readings.frequency)) {
        return lines.join(u'\n');
    }
    lines.append(localizedString(TenMinutesHeading));
    for (int tag : {TenMinuteMinimumTag, TenMinuteAverageTag, TenMinuteMaximumTag}) {
        lines.append(statisticsTitle(tag, readings, fahrenheit));
    }
    return lines.join(u'\n');
}

bool StatusPresenter::validateMenuItem(MenuItem& item, const GaugeReader* temperature,
                                       const GaugeReader* frequency) const
{
    if (!temperature && !frequency && item.tag > 100) {
        item.title = u""_qs;
        return false;
    }
    if (item.tag == IntervalTag) {
        const GaugeReader* timing = frequency ? frequency : temperature;
        item.title = cFormatRuntime(
            localizedFormat(QT_TRANSLATE_NOOP("Calidra", "Updating every %1.1f seconds"))
                .toUtf8()
                .constData(),
            timing->frequency());
        return false;
    }
    if (item.tag == NoReadingReasonTag) {
        item.title = noReadingReasons(StatusReadings::of(temperature, frequency, nullptr));
        return false;
    }
    if (isStatisticsTag(item.tag)) {
        item.indentationLevel = 1;
        item.title = statisticsTitle(item.tag, StatusReadings::of(temperature, frequency, nullptr),
                                     TemperatureValueTransformer::showsFahrenheit());
        return false;
    }
    return true;
}

QString StatusPresenter::statisticsTitle(int tag, const StatusReadings& readings,
                                         bool fahrenheit) const
{
    QString title;
    if (showsStatistics(readings.temperature)) {
        title += tvt2.transformedValue(statistic(readings.temperature, tag), fahrenheit) + u' ';
    }
    if (showsStatistics(readings.frequency)) {
        title += fvt.transformedValue(statistic(readings.frequency, tag)) + u' ';
    }
    return title + localizedString(label(tag));
}

Notifications::Notification StatusPresenter::alarmNotification(const GaugeReader& temperature,
                                                               const TemperatureAlarm& alarm) const
{
    return {localizedString(HotSummary),
            stringWithFormat(
                localizedFormat(QT_TRANSLATE_NOOP(
                    "Calidra", "The temperature is %@, at or above the warning level of %@. "
                               "Highest in the last ten minutes: %@.")),
                {tvt1.transformedValue(temperature.currentValue()),
                 tvt1.transformedValue(alarm.threshold()),
                 tvt1.transformedValue(temperature.tenMinuteMaximum())})};
}

} // namespace calidra
