#pragma once
// Kept name: "Intel" reads coretemp/k10temp hwmon via kern.cpu_temp; see docs/GLOSSARY.md.

#include "Gauge.h"

#include <QString>

#include <optional>

namespace calidra {

/// The processor temperature in degrees Celsius from the kernel value
/// "kern.cpu_temp", which the processor temperature driver provides on
/// machines of the Intel model list.
class IntelCPUTemperatureGauge : public Gauge
{
public:
    /// A gauge for the machine model `model`, which it does not need.
    explicit IntelCPUTemperatureGauge(const std::optional<QString>& model);

    /// The kernel value as a float; 0.0 while it cannot be read.
    float gauge() override;
};

} // namespace calidra
