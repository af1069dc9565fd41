#include "Gauge.h"

#include "IntelCPUFrequencyGauge.h"
#include "IntelCPUTemperatureGauge.h"
#include "IntelModels.h"
#include "PPCCPUTemperatureGauge.h"
#include "hardware/IORegistryEntry.h"

#include <limits>

namespace calidra {

Gauge::~Gauge() = default;

std::shared_ptr<Gauge> Gauge::CPUTemperatureGauge()
{
    const std::optional<QString> model = IORegistryEntry::machineModel();
    if (IntelModels::isIntelModel(model)) {
        return std::make_shared<IntelCPUTemperatureGauge>(model);
    }
    return PPCCPUTemperatureGauge::initForMachineModel(model);
}

std::shared_ptr<Gauge> Gauge::CPUFrequencyGauge()
{
    const std::optional<QString> model = IORegistryEntry::machineModel();
    if (IntelModels::isIntelModel(model)) {
        return std::make_shared<IntelCPUFrequencyGauge>(model);
    }
    return nullptr;
}

float Gauge::gauge()
{
    return std::numeric_limits<float>::quiet_NaN();
}

} // namespace calidra
