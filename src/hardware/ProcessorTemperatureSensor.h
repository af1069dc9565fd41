// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SearchReport.h"
#include "TemperatureInputIdentity.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace calidra {

class KeptReading;

/// The processor's temperature as one input of the Linux kernel offers it,
/// below a system root: the input is found by the rules of its kind, kept
/// open, and read at each call into a temperature in degrees Celsius or the
/// reason there is none, so that no caller has to work out why from a 0.
///
/// The input found stays open and a reading is one pread per kept file (see
/// KeptReading). A reading that fails or gives no plausible temperature
/// (PlausibleTemperature) lets the input go, and the next reading searches
/// afresh: an input that vanishes and returns, or a driver loaded later, is
/// found again. What each search saw and chose goes to calidra.hardware's
/// debug log when it differs from the last search's. Main thread only.
class ProcessorTemperatureSensor
{
public:
    /// Which input of the kernel is read.
    enum class Input {
        /// The processor temperature driver's hwmon channels, chosen by driver
        /// name and label (findProcessorTemperatureInputs); the hottest of
        /// them, rounded to whole degrees as "kern.cpu_temp" gives it.
        DriverChannels,
        /// The processor's kernel thermal zone (ThermalZone), to the
        /// thousandth of a degree.
        ThermalZone,
        /// The one input the user chose (a TemperatureInputIdentity), which may
        /// measure something else than the processor, to the thousandth of a
        /// degree. Several inputs of that identity count as none.
        Chosen,
    };

    /// What a reading gave.
    enum class Outcome {
        /// A plausible temperature.
        Temperature,
        /// A value that no processor can have: a sensor fault or a sensor not
        /// ready yet.
        Implausible,
        /// The sensor is there but gives no reading: a driver's hwmon device
        /// without a channel that reads, or a zone whose `temp` fails.
        NoReading,
        /// No sensor: no hwmon device of a processor temperature driver, no
        /// processor zone that reads a plausible temperature, or no one input
        /// of the chosen identity.
        NoSensor,
    };

    /// One reading: a temperature, or why there is none.
    struct Reading
    {
        Outcome outcome = Outcome::NoSensor;
        /// The temperature in degrees Celsius; 0 for every other outcome, the
        /// value a gauge reader takes as no reading.
        float celsius = 0.0F;
        /// What the input gave in its own unit (whole degrees from the driver's
        /// channels, millidegrees from a zone), implausible or not; absent when
        /// it gave nothing.
        std::optional<qint32> value;
        /// The input read ("coretemp, Package id 0", "x86_pkg_temp
        /// (thermal_zone2)"); without a value, the one found last, which has
        /// gone quiet or away; absent while none was ever found.
        std::optional<QString> sensor;
    };

    /// A sensor of `input` (not Chosen) below `systemRoot`; it searches at its
    /// first reading.
    ProcessorTemperatureSensor(Input input, QByteArray systemRoot);
    /// A sensor of the chosen input `chosen` below `systemRoot`, found among
    /// listTemperatureInputs by its identity alone.
    ProcessorTemperatureSensor(TemperatureInputIdentity chosen, QByteArray systemRoot);
    ~ProcessorTemperatureSensor();
    ProcessorTemperatureSensor(const ProcessorTemperatureSensor&) = delete;
    ProcessorTemperatureSensor& operator=(const ProcessorTemperatureSensor&) = delete;

    /// Reads the input kept, first searching for one when none is. Never fails
    /// otherwise than by its outcome.
    Reading read();

private:
    std::optional<Outcome> find();
    std::optional<Outcome> findChannels();
    std::optional<Outcome> findZone();
    std::optional<Outcome> findChosen();
    Outcome silentOutcome() const;
    float degrees(qint32 value) const;

    Input m_input;
    TemperatureInputIdentity m_chosen;
    QByteArray m_root;
    std::unique_ptr<KeptReading> m_kept;
    std::optional<QString> m_name;
    SearchReport m_report;
};

} // namespace calidra
