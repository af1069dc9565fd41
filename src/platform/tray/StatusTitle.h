// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QIcon>
#include <QString>
#include <QStringList>

namespace calidra {

/// What the status item shows: a text in a font and an icon (a null icon for
/// none), and, for faces that lay the values out themselves, the shown values
/// one by one and the widest one-line text the current settings can give,
/// and whether the temperature alarm is active.
struct StatusTitle
{
    QString text;
    QFont font;
    QIcon image;
    /// Each value with its unit, the temperature first ("61℃", "2.40 GHz");
    /// empty while the title shows no value.
    QStringList values;
    /// The widest one-line text the settings can produce, so that a panel
    /// can keep the room for it; empty when there is nothing to measure.
    QString labelGuide;
    /// Whether the temperature alarm is active: a drawn face has a red plate
    /// and a panel label a leading warning sign.
    bool alarm = false;

    /// Icons are compared by their cache key: the same icon object, not the
    /// same picture.
    bool operator==(const StatusTitle& other) const
    {
        return text == other.text && font == other.font &&
               image.cacheKey() == other.image.cacheKey() && values == other.values &&
               labelGuide == other.labelGuide && alarm == other.alarm;
    }
};

} // namespace calidra
