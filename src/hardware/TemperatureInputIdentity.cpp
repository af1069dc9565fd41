// SPDX-License-Identifier: GPL-3.0-or-later
#include "TemperatureInputIdentity.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

namespace calidra {
namespace {

const QString DriverKey = u"driver"_qs;
const QString ZoneKey = u"zone"_qs;
const QString LabelKey = u"label"_qs;
const QString ChannelKey = u"channel"_qs;
const QString DeviceKey = u"device"_qs;
const QString IndexKey = u"index"_qs;

// A text value that is there and not empty.
std::optional<QString> textValue(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString() || value.toString().isEmpty()) {
        return std::nullopt;
    }
    return value.toString();
}

// A whole number from `lowest` up that an int holds; JSON numbers are doubles.
std::optional<int> wholeNumber(const QJsonObject& object, const QString& key, int lowest)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (!(number >= lowest) || number > std::numeric_limits<int>::max() ||
        std::floor(number) != number) {
        return std::nullopt;
    }
    return int(number);
}

bool hasOnly(const QJsonObject& object, const QSet<QString>& keys)
{
    const QStringList present = object.keys();
    return std::all_of(present.begin(), present.end(),
                       [&keys](const QString& key) { return keys.contains(key); });
}

std::optional<TemperatureInputIdentity> hwmonIdentity(const QJsonObject& object)
{
    TemperatureInputIdentity identity;
    identity.name = object.value(DriverKey).toString();
    const std::optional<QString> label = textValue(object, LabelKey);
    const std::optional<int> channel = wholeNumber(object, ChannelKey, 1);
    if (object.contains(LabelKey) + object.contains(ChannelKey) != 1 || (!label && !channel) ||
        !hasOnly(object, {DriverKey, LabelKey, ChannelKey, DeviceKey})) {
        return std::nullopt;
    }
    identity.label = label.value_or(QString());
    identity.channel = channel.value_or(0);
    if (object.contains(DeviceKey)) {
        const std::optional<QString> device = textValue(object, DeviceKey);
        if (!device) {
            return std::nullopt;
        }
        identity.device = *device;
    }
    return identity;
}

std::optional<TemperatureInputIdentity> zoneIdentity(const QJsonObject& object)
{
    TemperatureInputIdentity identity;
    identity.kind = TemperatureInputIdentity::Kind::ThermalZone;
    identity.name = object.value(ZoneKey).toString();
    const std::optional<QString> device = textValue(object, DeviceKey);
    const std::optional<int> index = wholeNumber(object, IndexKey, 0);
    if (object.contains(DeviceKey) + object.contains(IndexKey) != 1 || (!device && !index) ||
        !hasOnly(object, {ZoneKey, DeviceKey, IndexKey})) {
        return std::nullopt;
    }
    identity.device = device.value_or(QString());
    identity.index = index.value_or(-1);
    return identity;
}

} // namespace

std::optional<TemperatureInputIdentity> TemperatureInputIdentity::fromText(const QString& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    const bool hwmon = textValue(object, DriverKey).has_value();
    const bool zone = textValue(object, ZoneKey).has_value();
    if (hwmon == zone) {
        return std::nullopt;
    }
    return hwmon ? hwmonIdentity(object) : zoneIdentity(object);
}

QString TemperatureInputIdentity::text() const
{
    QJsonObject object;
    object.insert(kind == Kind::Hwmon ? DriverKey : ZoneKey, name);
    if (!device.isEmpty()) {
        object.insert(DeviceKey, device);
    }
    if (kind == Kind::Hwmon) {
        if (label.isEmpty()) {
            object.insert(ChannelKey, channel);
        } else {
            object.insert(LabelKey, label);
        }
    } else if (device.isEmpty()) {
        object.insert(IndexKey, index);
    }
    // A QJsonObject keeps its keys sorted, so one identity has one text.
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QString TemperatureInputIdentity::displayName() const
{
    if (kind == Kind::ThermalZone) {
        return name;
    }
    return name + u", "_qs + (label.isEmpty() ? u"temp"_qs + QString::number(channel) : label);
}

} // namespace calidra
