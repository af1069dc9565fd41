// SPDX-License-Identifier: GPL-3.0-or-later
#include "PPCCPUTemperatureGauge.h"

#include "SensorValue.h"
#include "hardware/IORegistryEntry.h"
#include "hardware/PlausibleTemperature.h"
#include "platform/Bundle.h"
#include "platform/Localization.h"
#include "platform/plist/PropertyList.h"

#include <QVariantMap>

#include <utility>

namespace calidra {
namespace {

// The model's row of the sensor table; empty when there is none.
QVariantMap sensorDescription(const QString& model)
{
    const Bundle* bundle = Bundle::mainBundle();
    const std::optional<QString> path =
        bundle ? bundle->pathForResource(u"PPCSensors"_qs, u"plist"_qs) : std::nullopt;
    const std::optional<QVariantMap> table =
        path ? PropertyList::dictionaryWithContentsOfFile(*path) : std::nullopt;
    return table.value_or(QVariantMap()).value(model).toMap();
}

} // namespace

PPCCPUTemperatureGauge::PPCCPUTemperatureGauge(
    std::vector<std::unique_ptr<IORegistryEntry>> entries, QString property, float scale,
    QString model)
    : gaugedIORegistryEntries(std::move(entries)), gaugedProperty(std::move(property)),
      gaugeScale(scale), m_model(std::move(model))
{}

PPCCPUTemperatureGauge::~PPCCPUTemperatureGauge() = default;

std::unique_ptr<PPCCPUTemperatureGauge>
PPCCPUTemperatureGauge::initForMachineModel(const std::optional<QString>& model)
{
    if (!model) {
        return nullptr;
    }
    const QVariantMap description = sensorDescription(*model);
    const QVariant property = description.value(u"property"_qs);
    std::vector<std::unique_ptr<IORegistryEntry>> entries =
        entriesFor(description.value(u"xpath"_qs));
    if (entries.empty() || property.typeId() != QMetaType::QString) {
        return nullptr;
    }
    return std::unique_ptr<PPCCPUTemperatureGauge>(
        new PPCCPUTemperatureGauge(std::move(entries), property.toString(),
                                   scaleFor(description.value(u"factor"_qs)), *model));
}

std::vector<std::unique_ptr<IORegistryEntry>>
PPCCPUTemperatureGauge::entriesFor(const QVariant& xpath)
{
    QVariantList paths;
    if (xpath.typeId() == QMetaType::QString) {
        paths.append(xpath);
    } else if (xpath.typeId() == QMetaType::QVariantList) {
        paths = xpath.toList();
    }
    std::vector<std::unique_ptr<IORegistryEntry>> entries;
    for (const QVariant& path : std::as_const(paths)) {
        std::unique_ptr<IORegistryEntry> entry =
            path.typeId() == QMetaType::QString ? IORegistryEntry::entryFromXPath(path.toString())
                                                : nullptr;
        if (entry) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

float PPCCPUTemperatureGauge::scaleFor(const QVariant& factor)
{
    const std::optional<float> scale = SensorValue::floatValue(factor);
    return scale && *scale > 0.0F ? *scale : DefaultScale;
}

float PPCCPUTemperatureGauge::gauge()
{
    float sum = 0.0F;
    for (const std::unique_ptr<IORegistryEntry>& entry : gaugedIORegistryEntries) {
        const QVariant reading = entry->propertyForKey(gaugedProperty);
        sum += SensorValue::floatValue(reading).value_or(0.0F) / gaugeScale;
    }
    const float mean = sum / float(gaugedIORegistryEntries.size());
    // A row with a wrong factor or a sensor gone mad gives no reading rather
    // than a 39-digit temperature; the sum may also have overflowed.
    return PlausibleTemperature::contains(double(mean)) ? mean : 0.0F;
}

std::optional<QString> PPCCPUTemperatureGauge::sensorInUse() const
{
    return localizedString(QT_TRANSLATE_NOOP("Calidra", "sensor table")) + u", "_qs + m_model;
}

QString PPCCPUTemperatureGauge::noReadingReason() const
{
    return silentSensorReason(*sensorInUse());
}

} // namespace calidra
