// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProcessorTemperatureInputs.h"

#include "KernelNumber.h"
#include "KernelText.h"
#include "SysfsFile.h"

#include <QStringList>

#include <dirent.h>
#include <fcntl.h>

#include <algorithm>
#include <string_view>

namespace calidra {
namespace {

enum class Family { Intel, Amd };

struct Channel
{
    Family family;
    QByteArray driver;
    QByteArray label;
    QByteArray input;
};

// Which channels give the temperature, in order of preference; `all` takes
// every matching channel, else only the first.
struct Choice
{
    Family family;
    bool (*matches)(std::string_view label);
    bool all;
};

bool isDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isPackage(std::string_view label)
{
    return label == "Package id 0";
}

bool isCore(std::string_view label)
{
    return label.starts_with("Core ") && isDigits(label.substr(5));
}

bool isTdie(std::string_view label)
{
    return label == "Tdie";
}

bool isTctl(std::string_view label)
{
    return label == "Tctl";
}

constexpr Choice Choices[] = {
    {Family::Intel, isPackage, false},
    {Family::Intel, isCore, true},
    {Family::Amd, isTdie, false},
    {Family::Amd, isTctl, false},
};

std::optional<QByteArray> readLine(const QByteArray& path)
{
    const std::optional<QByteArray> text =
        SysfsFile::readAt(AT_FDCWD, path.constData(), SysfsFile::Links::Follow);
    if (!text) {
        return std::nullopt;
    }
    const std::string_view line = withoutLineFeed(stringView(*text));
    return QByteArray(line.data(), static_cast<qsizetype>(line.size()));
}

// The names in a folder, "." and ".." left out, in byte order so that the
// choice among equals does not depend on the order of the folder.
std::vector<QByteArray> folderNames(const QByteArray& path)
{
    std::vector<QByteArray> names;
    DIR* const folder = ::opendir(path.constData());
    if (folder == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..") {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<Family> familyOf(const std::optional<QByteArray>& driver)
{
    if (driver == "coretemp") {
        return Family::Intel;
    }
    if (driver == "k10temp" || driver == "zenpower") {
        return Family::Amd;
    }
    return std::nullopt;
}

std::optional<QByteArray> driverName(const QByteArray& device)
{
    return readLine(device + "/name");
}

// "tempN_label" gives "tempN_input"; any other name gives nothing.
std::optional<QByteArray> inputForLabelFile(const QByteArray& name)
{
    const std::string_view text = stringView(name);
    if (!text.starts_with("temp") || !text.ends_with("_label") ||
        !isDigits(text.substr(4, text.size() - 10))) {
        return std::nullopt;
    }
    return name.first(name.size() - 6) + "_input";
}

void addChannels(const QByteArray& device, Family family, const QByteArray& driver,
                 std::vector<Channel>& channels)
{
    for (const QByteArray& name : folderNames(device)) {
        const std::optional<QByteArray> input = inputForLabelFile(name);
        const std::optional<QByteArray> label =
            input ? readLine(device + '/' + name) : std::nullopt;
        if (label) {
            channels.push_back({family, driver, *label, device + '/' + *input});
        }
    }
}

ProcessorTemperatureChannels chosenChannels(const std::vector<Channel>& channels)
{
    for (const Choice& choice : Choices) {
        ProcessorTemperatureChannels chosen;
        for (const Channel& channel : channels) {
            if (channel.family == choice.family && choice.matches(stringView(channel.label)) &&
                (choice.all || chosen.inputs.empty())) {
                chosen.driver = channel.driver;
                chosen.labels.push_back(channel.label);
                chosen.inputs.push_back(channel.input);
            }
        }
        if (!chosen.inputs.empty()) {
            return chosen;
        }
    }
    return {};
}

} // namespace

QString ProcessorTemperatureChannels::description() const
{
    // Several devices repeat their "Core N" labels: each is named once.
    QStringList distinct;
    for (const QByteArray& label : labels) {
        const QString text = decodeKernelText(label);
        if (!distinct.contains(text)) {
            distinct.append(text);
        }
    }
    if (distinct.size() > 3) {
        distinct = QStringList{distinct.front(), u"\u2026"_qs, distinct.back()};
    }
    distinct.prepend(decodeKernelText(driver));
    return distinct.join(u", "_qs);
}

ProcessorTemperatureChannels findProcessorTemperatureInputs(const QByteArray& systemRoot)
{
    const QByteArray hwmon = systemRoot + "/sys/class/hwmon";
    std::vector<Channel> channels;
    for (const QByteArray& entry : folderNames(hwmon)) {
        const QByteArray device = hwmon + '/' + entry;
        const std::optional<QByteArray> driver = driverName(device);
        if (const std::optional<Family> family = familyOf(driver)) {
            addChannels(device, *family, *driver, channels);
        }
    }
    return chosenChannels(channels);
}

bool isProcessorTemperatureDriverLoaded(const QByteArray& systemRoot)
{
    const QByteArray hwmon = systemRoot + "/sys/class/hwmon";
    const std::vector<QByteArray> entries = folderNames(hwmon);
    return std::any_of(entries.begin(), entries.end(), [&hwmon](const QByteArray& entry) {
        return familyOf(driverName(hwmon + '/' + entry)).has_value();
    });
}

std::optional<QByteArray> processorTemperatureDriver(std::string_view vendor)
{
    if (vendor == "GenuineIntel") {
        return QByteArray("coretemp");
    }
    if (vendor == "AuthenticAMD" || vendor == "HygonGenuine") {
        return QByteArray("k10temp");
    }
    return std::nullopt;
}

} // namespace calidra
