#include "IntelCPUTemperatureGauge.h"

#include "hardware/KernelValueQueries.h"

namespace calidra {

IntelCPUTemperatureGauge::IntelCPUTemperatureGauge(const std::optional<QString>&)
{}

float IntelCPUTemperatureGauge::gauge()
{
    return float(querySysctlValueAsInt("kern.cpu_temp"));
}

} // namespace calidra
