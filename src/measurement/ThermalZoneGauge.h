// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Gauge.h"
#include "hardware/SearchReport.h"

#include <QByteArray>

#include <memory>

namespace calidra {

class ThermalZone;

/// The processor temperature in degrees Celsius from the kernel thermal zone
/// that measures the processor (see ThermalZone), below the system root of the
/// current KernelValues. The zone found stays open and a sample reads it
/// once; a reading that fails drops it, and the next sample looks for a zone
/// afresh, so a zone that comes back is found again. The zones each search
/// saw go to calidra.hardware's debug log when they differ from the last
/// search's. Main thread only.
class ThermalZoneGauge : public Gauge
{
public:
    /// A gauge that looks for the zone below `systemRoot` at its first sample.
    explicit ThermalZoneGauge(QByteArray systemRoot);
    ~ThermalZoneGauge() override;

    /// A gauge over the processor's zone below the current KernelValues'
    /// root; null when there is no current KernelValues or no such zone now.
    static std::unique_ptr<ThermalZoneGauge> initWithCurrentSystemRoot();

    /// The zone's temperature; 0.0 while no zone gives a plausible one.
    float gauge() override;

    bool hasSource() const override;
    /// The zone's type and folder, "x86_pkg_temp (thermal_zone2)".
    std::optional<QString> sensorInUse() const override;
    /// Names the zone last read, if one ever was.
    QString noReadingReason() const override;

private:
    QByteArray m_root;
    std::unique_ptr<ThermalZone> m_zone;
    std::optional<QString> m_lastZone;
    SearchReport m_report;
};

} // namespace calidra
