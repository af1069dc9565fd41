// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PreferencePane.h"
#include "formatting/MenuIntervalValueTransformer.h"
#include "platform/LoginItems.h"

#include <memory>

class QButtonGroup;

namespace Ui {
class GeneralPane;
}

namespace calidra {

/// The General pane of the preferences window: what is measured
/// (`gaugeChooser`), the sampling interval, the login item with the desktop's
/// startup-applications tool, and the temperature warning with its threshold
/// in the display unit.
class GeneralPane : public PreferencePane
{
    Q_OBJECT

public:
    /// The most login items one switch-off removes, should removal keep failing.
    static constexpr int MaxLoginItemDeletions = 64;

    /// A pane keeping the login items in `autostartFolder`. The frequency
    /// choices are offered only on a listed Intel model (`intelModel`);
    /// elsewhere the pane stores temperature alone where the defaults say
    /// otherwise.
    GeneralPane(const QString& autostartFolder, bool intelModel, QWidget* parent);
    ~GeneralPane() override;

    /// Stores the measurement choice of the gauge chooser's row: 0
    /// temperature, 1 frequency, 2 both. Other rows change nothing.
    void chooseGauge(int row);

    /// Adds the login item when the switch is on; removes every one of the
    /// program's name (at most MaxLoginItemDeletions) when it is off. A bundle
    /// path that no login item can start (see LoginItems::canStart) turns the
    /// switch back off and tells the user why and what to do.
    void toggleLoginItem(bool on);

private:
    void bindGauges(bool intelModel);
    void measureTemperatureAlone();
    void selectGaugeRow();
    void bindFrequency();
    void bindStartup();
    void bindAlarm();
    void showAlarmTemperature();
    void explainUnstartableBundle(const QString& bundlePath);

    std::unique_ptr<Ui::GeneralPane> m_ui;
    LoginItems m_loginItems;
    MenuIntervalValueTransformer m_intervalTransformer;
    QButtonGroup* gaugeChooser = nullptr;
};

} // namespace calidra
