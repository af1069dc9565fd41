// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusRefresh.h"

#include "StatusPresenter.h"
#include "platform/tray/StatusItem.h"

namespace calidra {

StatusRefresh::StatusRefresh(const StatusPresenter& presenter, StatusItem& item,
                             const DisplaySettings& settings)
    : m_presenter(presenter), m_item(item), m_settings(settings)
{}

void StatusRefresh::setSettings(const DisplaySettings& settings)
{
    if (settings == m_settings) {
        return;
    }
    m_settings = settings;
    invalidate();
}

void StatusRefresh::invalidate()
{
    m_title.reset();
    m_readings.reset();
}

// The same readings under the same settings show the same: nothing is
// formatted. Otherwise the values are, since that tells whether the title
// changed at the precision it shows them; everything else of the title is
// composed only then. The tooltip is taken as changed with its readings: it
// is composed only when read, and a face that shows it sets only a text that
// differs.
void StatusRefresh::refresh(const StatusReadings& readings)
{
    if (m_title && m_readings == readings) {
        return;
    }
    m_readings = readings;
    std::function<QString()> composeToolTip = [&presenter = m_presenter, readings,
                                               fahrenheit = m_settings.fahrenheit] {
        return presenter.toolTip(readings, fahrenheit);
    };
    Shown shown{m_presenter.values(m_settings, readings), readings.temperature.exists,
                readings.frequency.exists, readings.alarm};
    if (m_title != shown) {
        m_title = std::move(shown);
        m_item.setTitle(m_presenter.composeTitle(m_settings, readings), std::move(composeToolTip));
    } else {
        m_item.setToolTip(std::move(composeToolTip));
    }
}

} // namespace calidra
