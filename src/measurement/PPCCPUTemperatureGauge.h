// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "PPC" reads the PPCSensors.plist rows over sysfs; see docs/GLOSSARY.md.

#include "Gauge.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace calidra {

class IORegistryEntry;

/// The processor temperature in degrees Celsius as the mean of the machine's
/// temperature sensors, which the sensor table names: the resource
/// "PPCSensors" of type "plist" in the main bundle, a dictionary keyed by
/// machine model identifier. A model's dictionary holds "xpath" (one absolute
/// registry path or an array of them, each leading to a sensor entry),
/// "property" (the property read from every sensor) and optionally "factor"
/// (the divisor that turns a raw reading into degrees; 65536 when missing).
///
/// The table is read and the paths are resolved once, when the gauge is made;
/// a sample reads one property per sensor entry. Main thread only.
class PPCCPUTemperatureGauge : public Gauge
{
public:
    /// The divisor used when the table gives no usable "factor": it reads a
    /// raw value held in 16.16 fixed point.
    static constexpr float DefaultScale = 65536.0F;

    /// A gauge over the sensors that the table names for `model`. Absent when
    /// there is no main bundle or table, the table's root is not a dictionary,
    /// the model is absent or not in the table, "property" is not a string,
    /// or no entry is found: "xpath" that is neither a string nor an array,
    /// a path that leads to nothing or to a property, an array none of whose
    /// string paths leads to an entry. Paths in an array that find nothing and
    /// elements that are not strings are passed over. A "factor" that is not
    /// a finite positive number (or text starting with one) is taken as
    /// missing, so that no table row can make the gauge divide by zero or
    /// report a not-a-number.
    static std::unique_ptr<PPCCPUTemperatureGauge>
    initForMachineModel(const std::optional<QString>& model);

    ~PPCCPUTemperatureGauge() override;

    /// The mean over the sensor entries, in table order, of each reading
    /// divided by gaugeScale, in 32-bit float. A reading counts as 0 when its
    /// property is absent at this sample, when it is text without a leading
    /// number, a byte string, or not finite. A mean that is no plausible
    /// temperature (PlausibleTemperature) gives 0.0, no reading.
    float gauge() override;

    /// "sensor table, <model>": the row read.
    std::optional<QString> sensorInUse() const override;
    /// Names the row.
    QString noReadingReason() const override;

private:
    PPCCPUTemperatureGauge(std::vector<std::unique_ptr<IORegistryEntry>> entries, QString property,
                           float scale, QString model);

    static std::vector<std::unique_ptr<IORegistryEntry>> entriesFor(const QVariant& xpath);
    static float scaleFor(const QVariant& factor);

    std::vector<std::unique_ptr<IORegistryEntry>> gaugedIORegistryEntries;
    QString gaugedProperty;
    float gaugeScale;
    QString m_model;
};

} // namespace calidra
