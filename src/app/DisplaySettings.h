// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace calidra {

class UserDefaults;

/// What the status title and its tooltip take from the user defaults and
/// the locale, read at once. The controller keeps one and reads it again
/// when a key it watches or the locale changes, so that a sample reads no
/// setting.
struct DisplaySettings
{
    /// Whether the values stand on two lines: gaugeTemperature,
    /// gaugeFrequency and arrangeVertically are all on. It follows the keys,
    /// not which readers exist.
    bool twoLines = false;
    /// The title's font: on two lines bold at `fontSize`, at most 9 points;
    /// on one line bold at 9 points and below, regular above.
    QFont titleFont;
    /// showIcon.
    bool showIcon = false;
    /// Whether temperatures show in Fahrenheit: displayUnit, or in its
    /// automatic case the locale's measurement system.
    bool fahrenheit = false;

    /// The settings in `defaults` and the default locale now.
    static DisplaySettings read(const UserDefaults& defaults);
    /// The title's font for a `fontSize` of `size`, on two lines or not.
    static QFont fontFor(float size, bool twoLines);
    /// The desktop's general font at `pointSize` points, bold or not.
    static QFont systemFont(qreal pointSize, bool bold);

    bool operator==(const DisplaySettings& other) const = default;
};

} // namespace calidra
