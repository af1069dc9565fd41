// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "Intel" gauges read kern.cpu_currentfreq (cpufreq); see docs/GLOSSARY.md.

#include "Gauge.h"

#include <QString>

#include <optional>

namespace calidra {

/// The processor clock frequency in megahertz from the kernel value
/// "kern.cpu_currentfreq". Here that value already is the processor's own
/// clock frequency, whatever the number of processors, so it is taken as it
/// is: scaling it by the processor count would report a multiple of the real
/// clock on machines with several processors.
class IntelCPUFrequencyGauge : public Gauge
{
public:
    /// A gauge for the machine model `model`, which it does not need.
    explicit IntelCPUFrequencyGauge(const std::optional<QString>& model);

    /// The kernel value as a float; 0.0 while it cannot be read.
    float gauge() override;

    QString noReadingReason() const override;
};

} // namespace calidra
