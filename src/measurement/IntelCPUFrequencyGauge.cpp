#include "IntelCPUFrequencyGauge.h"

#include "hardware/KernelValueQueries.h"

namespace calidra {

IntelCPUFrequencyGauge::IntelCPUFrequencyGauge(const std::optional<QString>&)
{}

float IntelCPUFrequencyGauge::gauge()
{
    return float(querySysctlValueAsInt("kern.cpu_currentfreq"));
}

} // namespace calidra
