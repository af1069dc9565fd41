// SPDX-License-Identifier: GPL-3.0-or-later
#include "TemperatureInputs.h"

#include "KernelNumber.h"
#include "KernelText.h"
#include "PlausibleTemperature.h"
#include "SysfsFile.h"
#include "ThermalZone.h"

#include <QHash>

#include <fcntl.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <tuple>

namespace calidra {
namespace {

using Kind = TemperatureInputIdentity::Kind;

std::optional<QByteArray> realPath(const QByteArray& path)
{
    char* const resolved = ::realpath(path.constData(), nullptr);
    if (resolved == nullptr) {
        return std::nullopt;
    }
    QByteArray result(resolved);
    std::free(resolved);
    return result;
}

// Finds the device an input belongs to from its `device` link (see
// TemperatureInputIdentity::device). The links are resolved as the kernel
// lays them out, relative to the node, so the system root is resolved too.
class Devices
{
public:
    explicit Devices(const QByteArray& systemRoot)
    {
        QByteArray root = realPath(systemRoot).value_or(systemRoot);
        if (root.endsWith('/')) {
            root.chop(1);
        }
        m_devices = root + "/sys/devices";
        m_bus = root + "/sys/bus";
    }

    QString of(const QByteArray& node) const
    {
        const std::optional<QByteArray> target = realPath(node + "/device");
        if (!target || !target->startsWith(m_devices + '/')) {
            return {};
        }
        for (QByteArray folder = *target; folder.size() > m_devices.size();
             folder.truncate(folder.lastIndexOf('/'))) {
            if (isOnBus(folder)) {
                return relative(folder);
            }
        }
        return relative(*target);
    }

private:
    bool isOnBus(const QByteArray& folder) const
    {
        const std::optional<QByteArray> subsystem = realPath(folder + "/subsystem");
        return subsystem &&
               subsystem->first(std::max<qsizetype>(subsystem->lastIndexOf('/'), 0)) == m_bus;
    }

    QString relative(const QByteArray& folder) const
    {
        return decodeKernelText(QByteArrayView(folder).sliced(m_devices.size() + 1));
    }

    QByteArray m_devices;
    QByteArray m_bus;
};

struct Found
{
    TemperatureInput input;
    int number; // the channel's, or the zone's
};

void addHwmonInputs(const QByteArray& node, const Devices& devices, std::vector<Found>& found)
{
    const std::optional<QByteArray> driver = SysfsFile::readLine(node + "/name");
    if (!driver || driver->isEmpty()) {
        return;
    }
    const QString device = devices.of(node);
    for (const QByteArray& file : SysfsFile::folderNames(node)) {
        const std::optional<int> channel = numberInName(stringView(file), "temp", "_input");
        if (!channel) {
            continue;
        }
        const QByteArray label =
            SysfsFile::readLine(node + "/temp" + QByteArray::number(*channel) + "_label")
                .value_or(QByteArray());
        TemperatureInput input;
        input.identity.name = decodeKernelText(*driver);
        input.identity.label = decodeKernelText(label);
        input.identity.channel = label.isEmpty() ? *channel : 0;
        input.identity.device = device;
        input.name = input.identity.displayName();
        input.path = node + '/' + file;
        found.push_back({std::move(input), *channel});
    }
}

void addZone(const QByteArray& zone, int number, const Devices& devices, std::vector<Found>& found)
{
    const std::optional<QByteArray> type = SysfsFile::readLine(zone + "/type");
    if (!type || type->isEmpty()) {
        return;
    }
    TemperatureInput input;
    input.identity.kind = Kind::ThermalZone;
    input.identity.name = decodeKernelText(*type);
    input.identity.device = devices.of(zone);
    input.name = input.identity.name + u" (zone "_qs + QString::number(number) + u')';
    input.path = zone + "/temp";
    found.push_back({std::move(input), number});
}

void sortByIdentity(std::vector<Found>& found)
{
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        const TemperatureInputIdentity& x = a.input.identity;
        const TemperatureInputIdentity& y = b.input.identity;
        return std::tie(x.name, x.device, a.number, a.input.path) <
               std::tie(y.name, y.device, b.number, b.input.path);
    });
}

// Zones without a device count by their place among their type's.
void numberZones(std::vector<Found>& zones)
{
    QHash<QString, int> seen;
    for (Found& zone : zones) {
        if (zone.input.identity.device.isEmpty()) {
            zone.input.identity.index = seen[zone.input.identity.name]++;
        }
    }
}

// Channels of one name on several devices are told apart by the device.
void nameDevices(std::vector<Found>& channels)
{
    QHash<QString, int> names;
    for (const Found& channel : channels) {
        ++names[channel.input.name];
    }
    for (Found& channel : channels) {
        const QString& device = channel.input.identity.device;
        if (names.value(channel.input.name) > 1 && !device.isEmpty()) {
            channel.input.name += u" ("_qs + device.section(u'/', -1) + u')';
        }
    }
}

} // namespace

std::optional<float> TemperatureInput::readCelsius() const
{
    const std::optional<QByteArray> text =
        SysfsFile::readAt(AT_FDCWD, path.constData(), SysfsFile::Links::Follow);
    const std::optional<qint64> millidegrees =
        text ? parseKernelInteger(stringView(*text)) : std::nullopt;
    const std::optional<qint32> value = millidegrees ? narrowToInt32(*millidegrees) : std::nullopt;
    if (!value) {
        return std::nullopt;
    }
    const float celsius = ThermalZone::celsius(*value);
    return PlausibleTemperature::contains(double(celsius)) ? std::optional(celsius) : std::nullopt;
}

std::vector<TemperatureInput> listTemperatureInputs(const QByteArray& systemRoot)
{
    const Devices devices(systemRoot);
    std::vector<Found> channels;
    const QByteArray hwmon = systemRoot + "/sys/class/hwmon";
    for (const QByteArray& node : SysfsFile::folderNames(hwmon)) {
        addHwmonInputs(hwmon + '/' + node, devices, channels);
    }
    sortByIdentity(channels);
    nameDevices(channels);

    std::vector<Found> zones;
    const QByteArray thermal = systemRoot + "/sys/class/thermal";
    for (const QByteArray& entry : SysfsFile::folderNames(thermal)) {
        if (const std::optional<int> number = numberInName(stringView(entry), "thermal_zone", "")) {
            addZone(thermal + '/' + entry, *number, devices, zones);
        }
    }
    sortByIdentity(zones);
    numberZones(zones);

    std::vector<TemperatureInput> inputs;
    inputs.reserve(channels.size() + zones.size());
    QHash<QString, int> identities;
    for (std::vector<Found>* kind : {&channels, &zones}) {
        for (Found& found : *kind) {
            ++identities[found.input.identity.text()];
            inputs.push_back(std::move(found.input));
        }
    }
    for (TemperatureInput& input : inputs) {
        input.unique = identities.value(input.identity.text()) == 1;
    }
    return inputs;
}

std::vector<const TemperatureInput*> matchingInputs(const std::vector<TemperatureInput>& inputs,
                                                    const TemperatureInputIdentity& identity)
{
    std::vector<const TemperatureInput*> matching;
    for (const TemperatureInput& input : inputs) {
        if (input.identity == identity) {
            matching.push_back(&input);
        }
    }
    return matching;
}

} // namespace calidra
