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

#include <QFontDatabase>

#include <algorithm>

namespace calidra {
namespace {

// At this size and below a one-line title is bold, and a two-line title is
// never larger.
constexpr float BoldTitleSize = 9.0F;
// The widest values shown, in degrees Celsius and in megahertz.
constexpr double WidestTemperature = 188.0;
constexpr double WidestFrequency = 888.88;

const char* const HotSummary = QT_TRANSLATE_NOOP("Calidra", "The processor is hot");

bool isAlarmActive(const TemperatureAlarm* alarm)
{
    return alarm && alarm->isActive();
}

QFont systemFont(qreal pointSize, bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

float statistic(const GaugeReader& reader, int tag)
{
    switch (tag) {
    case StatusPresenter::TenMinuteMinimumTag:
        return reader.tenMinuteMinimum();
    case StatusPresenter::TenMinuteAverageTag:
        return reader.tenMinuteAverage();
    case StatusPresenter::TenMinuteMaximumTag:
        return reader.tenMinuteMaximum();
    case StatusPresenter::OverallMinimumTag:
        return reader.overallMinimum();
    case StatusPresenter::OverallAverageTag:
        return reader.overallAverage();
    default:
        return reader.overallMaximum();
    }
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
bool showsStatistics(const GaugeReader* reader)
{
    return reader && reader->hasAcceptedReading();
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

QIcon StatusPresenter::iconFor(const UserDefaults& defaults) const
{
    return defaults.value<Settings::ShowIcon>() ? m_icon : QIcon();
}

StatusTitle StatusPresenter::initialTitle(const UserDefaults& defaults) const
{
    return {localizedString(QT_TRANSLATE_NOOP("Calidra", "Please wait...")),
            systemFont(defaults.value<Settings::FontSize>(), false),
            iconFor(defaults),
            {},
            {}};
}

StatusTitle StatusPresenter::composeTitle(const UserDefaults& defaults,
                                          const GaugeReader* temperature,
                                          const GaugeReader* frequency,
                                          const TemperatureAlarm* alarm) const
{
    // The arrangement follows the settings, not which readers exist.
    const bool twoLines = defaults.value<Settings::GaugeTemperature>() &&
                          defaults.value<Settings::GaugeFrequency>() &&
                          defaults.value<Settings::ArrangeVertically>();
    const float size = defaults.value<Settings::FontSize>();
    StatusTitle title;
    title.font = twoLines ? systemFont(std::min(size, BoldTitleSize), true)
                          : systemFont(size, !(size > BoldTitleSize));
    title.text = currentTexts(temperature, frequency, &title.values).join(twoLines ? u'\n' : u' ');
    title.image = iconFor(defaults);
    title.labelGuide = labelGuide(temperature, frequency);
    title.alarm = isAlarmActive(alarm);
    return title;
}

// Digits are as wide as each other in the fonts panels use, so three-digit
// temperatures (in any unit) and six-digit megahertz are the widest texts.
QString StatusPresenter::labelGuide(const GaugeReader* temperature,
                                    const GaugeReader* frequency) const
{
    QStringList widest;
    if (temperature) {
        widest.append(tvt1.transformedValue(WidestTemperature));
    }
    if (frequency) {
        widest.append(fvt.transformedValue(WidestFrequency));
    }
    return widest.join(u' ');
}

// Each reader's current value, or "No reading" for a reader that has none.
// The values go to `values`, what drawn faces and panel labels show, where a
// reader without a reading is "?": as tall as the digits in a tray slot, where
// an empty face would look like the wait at start-up.
QStringList StatusPresenter::currentTexts(const GaugeReader* temperature,
                                          const GaugeReader* frequency, QStringList* values) const
{
    QStringList texts;
    for (const GaugeReader* reader : {temperature, frequency}) {
        if (!reader) {
            continue;
        }
        if (reader->hasNoReading()) {
            texts.append(localizedString(QT_TRANSLATE_NOOP("Calidra", "No reading")));
            values->append(u"?"_qs);
            continue;
        }
        const float value = reader->currentValue();
        texts.append(reader == temperature ? tvt1.transformedValue(value)
                                           : fvt.transformedValue(value));
        values->append(texts.back());
    }
    return texts;
}

QString StatusPresenter::noReadingReasons(const GaugeReader* temperature,
                                          const GaugeReader* frequency)
{
    QStringList reasons;
    for (const GaugeReader* reader : {temperature, frequency}) {
        if (reader && reader->hasNoReading()) {
            reasons.append(reader->noReadingReason());
        }
    }
    return reasons.join(u' ');
}

QString StatusPresenter::toolTip(const GaugeReader* temperature, const GaugeReader* frequency,
                                 const TemperatureAlarm* alarm) const
{
    if (!temperature && !frequency) {
        return {};
    }
    QStringList values;
    QStringList lines{currentTexts(temperature, frequency, &values).join(u' ')};
    if (isAlarmActive(alarm)) {
        lines.append(localizedString(HotSummary));
    }
    if (const QString reasons = noReadingReasons(temperature, frequency); !reasons.isEmpty()) {
        lines.append(reasons);
    }
    if (!showsStatistics(temperature) && !showsStatistics(frequency)) {
        return lines.join(u'\n');
    }
    lines.append(localizedString(TenMinutesHeading));
    for (int tag : {TenMinuteMinimumTag, TenMinuteAverageTag, TenMinuteMaximumTag}) {
        lines.append(statisticsTitle(tag, temperature, frequency));
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
        item.title = noReadingReasons(temperature, frequency);
        return false;
    }
    if (isStatisticsTag(item.tag)) {
        item.indentationLevel = 1;
        item.title = statisticsTitle(item.tag, temperature, frequency);
        return false;
    }
    return true;
}

QString StatusPresenter::statisticsTitle(int tag, const GaugeReader* temperature,
                                         const GaugeReader* frequency) const
{
    QString title;
    if (showsStatistics(temperature)) {
        title += tvt2.transformedValue(statistic(*temperature, tag)) + u' ';
    }
    if (showsStatistics(frequency)) {
        title += fvt.transformedValue(statistic(*frequency, tag)) + u' ';
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
