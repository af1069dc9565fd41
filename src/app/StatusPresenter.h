// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DisplaySettings.h"
#include "StatusReadings.h"
#include "formatting/FrequencyValueTransformer.h"
#include "formatting/TemperatureValueTransformer.h"
#include "platform/tray/Notifications.h"
#include "platform/tray/StatusTitle.h"

namespace calidra {

class GaugeReader;
class TemperatureAlarm;
class UserDefaults;
struct MenuItem;

/// Composes what the status item and the information items of the status
/// menu show, from the user defaults and the two readers (either may be
/// absent). It keeps its three formatters for the whole run: the title's
/// temperature without decimals, the menu's with two, and the frequency.
class StatusPresenter
{
public:
    /// Tags of the information items: the sampling interval, then the
    /// ten-minute and the overall minimum, average and maximum.
    enum Tag {
        IntervalTag = 101,
        TenMinuteMinimumTag = 102,
        TenMinuteAverageTag = 103,
        TenMinuteMaximumTag = 104,
        OverallMinimumTag = 105,
        OverallAverageTag = 106,
        OverallMaximumTag = 107,
        /// Why a reader has no reading; hidden while every reader has one.
        NoReadingReasonTag = 108,
    };

    /// Loads the status icon from the main bundle; without one, titles have
    /// no image.
    StatusPresenter();

    /// "Please wait..." in the regular system font at `fontSize` points, with
    /// the icon when `showIcon` is set: shown until the first sample.
    StatusTitle initialTitle(const UserDefaults& defaults) const;

    /// The current values, the temperature first, one by one and as a text
    /// ("No reading" in the text for a reader that has none, and no value):
    /// on two lines in the bold
    /// font of at most 9 points when both gauges are on and arranged
    /// vertically, otherwise on one line, bold at 9 points and below and
    /// regular above. The text is empty when no reader exists. The label
    /// guide is the widest text of the same readers and unit. The title is
    /// marked while `alarm` (null for none) is active.
    StatusTitle composeTitle(const UserDefaults& defaults, const GaugeReader* temperature,
                             const GaugeReader* frequency,
                             const TemperatureAlarm* alarm = nullptr) const;
    /// The same from settings and readings taken before.
    StatusTitle composeTitle(const DisplaySettings& settings, const StatusReadings& readings) const;

    /// The values a drawn face or a panel label shows (see StatusTitle), as
    /// the title composed from the same settings and readings holds them:
    /// what tells whether a new title would look different.
    QStringList values(const DisplaySettings& settings, const StatusReadings& readings) const;

    /// The tray's tooltip text: the current values on one line as the title
    /// gives them, then that the processor is hot while `alarm` (null for
    /// none) is active, then why a reader has no reading, then the ten-minute
    /// heading and statistics as the menu's items show them (left out while no
    /// reader holds an accepted reading). Empty when no reader exists.
    QString toolTip(const GaugeReader* temperature, const GaugeReader* frequency,
                    const TemperatureAlarm* alarm = nullptr) const;
    /// The same from readings taken before, temperatures in Fahrenheit or not.
    QString toolTip(const StatusReadings& readings, bool fahrenheit) const;

    /// The warning of a fired alarm: the reader's current value, the
    /// alarm's threshold and the ten-minute maximum, in the display unit.
    Notifications::Notification alarmNotification(const GaugeReader& temperature,
                                                  const TemperatureAlarm& alarm) const;

    /// The heading of the ten-minute statistics, untranslated.
    static constexpr const char* TenMinutesHeading =
        QT_TRANSLATE_NOOP("Calidra", "Last ten minutes");

    /// Fills an information item from the readers' statistics and gives false
    /// (shown disabled, as plain information); a reader whose statistics hold
    /// no accepted reading is left out of them, and the reason item says why
    /// a reader has no reading. With no reader at all an information item is
    /// emptied. Any other item is left as it is and gives true.
    bool validateMenuItem(MenuItem& item, const GaugeReader* temperature,
                          const GaugeReader* frequency) const;

    /// The status icon; a null icon when the bundle has none.
    const QIcon& statusIcon() const { return m_icon; }

private:
    QString labelGuide(const StatusReadings& readings, bool fahrenheit) const;
    QStringList currentTexts(const StatusReadings& readings, bool fahrenheit,
                             QStringList* values) const;
    static QString noReadingReasons(const StatusReadings& readings);
    QString statisticsTitle(int tag, const StatusReadings& readings, bool fahrenheit) const;

    TemperatureValueTransformer tvt1;
    TemperatureValueTransformer tvt2{2};
    FrequencyValueTransformer fvt;
    QIcon m_icon;
};

} // namespace calidra
