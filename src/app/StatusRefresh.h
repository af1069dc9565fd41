// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DisplaySettings.h"
#include "StatusReadings.h"

#include <QStringList>

#include <optional>

namespace calidra {

class StatusItem;
class StatusPresenter;

/// Brings the status item up to date after a sample, in one pass: nothing is
/// done for readings that are the same as the last ones; the title is
/// composed only when what it shows differs (the values at the precision
/// they are shown at, the readers, the alarm), the tooltip only when a face
/// reads it after the readings changed, and the item announces one change
/// for both. It works from the settings it was given last, so a sample reads
/// no setting and no locale. Main thread only.
class StatusRefresh
{
public:
    /// Shows on `item`, which outlives it, what `presenter`, which outlives
    /// it too, composes.
    StatusRefresh(const StatusPresenter& presenter, StatusItem& item,
                  const DisplaySettings& settings);

    const DisplaySettings& settings() const { return m_settings; }
    /// Settings read anew: the next refresh composes the title and the
    /// tooltip anew when they differ from the last ones.
    void setSettings(const DisplaySettings& settings);

    /// The item was given another title meanwhile: the next refresh composes
    /// the title and the tooltip anew.
    void invalidate();

    /// Shows `readings` on the item.
    void refresh(const StatusReadings& readings);

private:
    /// What a title shows, for telling whether a new one would look
    /// different without composing it.
    struct Shown
    {
        QStringList values;
        bool temperature = false;
        bool frequency = false;
        bool alarm = false;
        bool operator==(const Shown& other) const = default;
    };

    const StatusPresenter& m_presenter;
    StatusItem& m_item;
    DisplaySettings m_settings;
    std::optional<Shown> m_title;
    std::optional<StatusReadings> m_readings;
};

} // namespace calidra
