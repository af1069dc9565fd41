// SPDX-License-Identifier: GPL-3.0-or-later
#include "IntelCPUFrequencyGauge.h"

#include "hardware/KernelValueQueries.h"
#include "platform/Localization.h"

namespace calidra {

IntelCPUFrequencyGauge::IntelCPUFrequencyGauge(const std::optional<QString>&)
{}

float IntelCPUFrequencyGauge::gauge()
{
    return float(querySysctlValueAsInt("kern.cpu_currentfreq"));
}

QString IntelCPUFrequencyGauge::noReadingReason() const
{
    return localizedString(
        QT_TRANSLATE_NOOP("Calidra", "The processor's clock frequency cannot be read."));
}

} // namespace calidra
