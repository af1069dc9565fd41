// SPDX-License-Identifier: GPL-3.0-or-later
#include "Gauge.h"

#include "ChosenSensorGauge.h"
#include "IntelCPUFrequencyGauge.h"
#include "IntelCPUTemperatureGauge.h"
#include "IntelModels.h"
#include "PPCCPUTemperatureGauge.h"
#include "ThermalZoneGauge.h"
#include "formatting/ObjectFormat.h"
#include "hardware/HardwareLog.h"
#include "hardware/IORegistryEntry.h"
#include "hardware/KernelValues.h"
#include "hardware/TemperatureInputs.h"
#include "platform/Localization.h"

#include <limits>

namespace calidra {

Gauge::~Gauge() = default;

std::shared_ptr<Gauge> Gauge::CPUTemperatureGauge()
{
    const std::optional<QString> model = IORegistryEntry::machineModel();
    const QString name = model.value_or(u"(none)"_qs);
    if (IntelModels::isIntelModel(model)) {
        qCDebug(hardwareLog).noquote()
            << "temperature gauge for" << name
            << "(on the model list): the processor temperature driver, the thermal zone "
               "standing in";
        return std::make_shared<IntelCPUTemperatureGauge>(model);
    }
    if (std::shared_ptr<Gauge> table = PPCCPUTemperatureGauge::initForMachineModel(model)) {
        qCDebug(hardwareLog).noquote()
            << "temperature gauge for" << name + u':' << table->sensorInUse().value_or(QString());
        return table;
    }
    std::shared_ptr<Gauge> zone = ThermalZoneGauge::initWithCurrentSystemRoot();
    qCDebug(hardwareLog).noquote()
        << "temperature gauge for" << name << "(no row of the sensor table finds a sensor):"
        << (zone ? u"the thermal zone"_qs : u"none"_qs);
    return zone;
}

std::shared_ptr<Gauge> Gauge::temperatureGauge(const QString& sensorChoice)
{
    const std::optional<TemperatureInputIdentity> chosen =
        TemperatureInputIdentity::fromText(sensorChoice);
    const KernelValues* values = KernelValues::current();
    if (!chosen || !values) {
        return CPUTemperatureGauge();
    }
    // Which of several inputs the choice meant cannot be known; an input that
    // is missing now may come later.
    const std::vector<TemperatureInput> inputs = listTemperatureInputs(values->systemRoot());
    if (matchingInputs(inputs, *chosen).size() > 1) {
        qCDebug(hardwareLog).noquote()
            << "the chosen sensor" << sensorChoice << "matches several inputs; automatic choice";
        return CPUTemperatureGauge();
    }
    qCDebug(hardwareLog).noquote() << "temperature gauge: the chosen sensor" << sensorChoice;
    return std::make_shared<ChosenSensorGauge>(*chosen, values->systemRoot());
}

std::shared_ptr<Gauge> Gauge::CPUFrequencyGauge()
{
    const std::optional<QString> model = IORegistryEntry::machineModel();
    if (IntelModels::isIntelModel(model)) {
        return std::make_shared<IntelCPUFrequencyGauge>(model);
    }
    qCDebug(hardwareLog).noquote()
        << "no frequency gauge for" << model.value_or(u"(none)"_qs) << "(not on the model list)";
    return nullptr;
}

float Gauge::gauge()
{
    return std::numeric_limits<float>::quiet_NaN();
}

bool Gauge::hasSource() const
{
    return true;
}

std::optional<QString> Gauge::sensorInUse() const
{
    return std::nullopt;
}

QString Gauge::noReadingReason() const
{
    return localizedString(
        QT_TRANSLATE_NOOP("Calidra", "This machine has no known temperature sensor."));
}

std::optional<QString> Gauge::chosenSensor() const
{
    return std::nullopt;
}

QString Gauge::silentSensorReason(const QString& sensor)
{
    return stringWithFormat(
        localizedFormat(QT_TRANSLATE_NOOP("Calidra", "The sensor (%@) gives no reading.")),
        {sensor});
}

} // namespace calidra
