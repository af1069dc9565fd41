// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProcessorTemperatureInputs.h"

#include "KernelNumber.h"
#include "KernelText.h"
#include "SysfsFile.h"

#include <QStringList>

#include <fcntl.h>

#include <algorithm>
#include <string_view>

namespace calidra {
namespace {

enum class Family { Intel, Amd };

// What the channel of k10temp that has no label is called: the one channel of
// processors before family 17h, which the kernel leaves unlabelled.
constexpr std::string_view UnlabelledTctl = "temp1";

struct Channel
{
    Family family;
    QByteArray driver;
    QByteArray label;
    QByteArray input;
};

// Which channels give the temperature, in order of preference; every channel
// that matches is taken and the hottest of them is the reading, so that a
// machine with several packages (two sockets, or an AMD processor of several
// nodes with one k10temp device each) shows its hottest.
struct Choice
{
    Family family;
    bool (*matches)(std::string_view label);
    const char* rule;
};

bool isDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isNumbered(std::string_view label, std::string_view prefix)
{
    return label.starts_with(prefix) && isDigits(label.substr(prefix.size()));
}

// The labels follow the kernel's hwmon documentation. Every channel is a
// tempN_input in millidegrees with an optional tempN_label that names it
// (https://www.kernel.org/doc/html/latest/hwmon/sysfs-interface.html); the
// numbers are the driver's to choose, so only labels count.
// https://www.kernel.org/doc/html/latest/hwmon/coretemp.html labels the
// package sensor "Package id N" ("Physical id N" on older kernels) and each
// core "Core N".
// https://www.kernel.org/doc/html/latest/hwmon/k10temp.html gives families 10h
// to 16h one unlabelled channel, temp1 (their Tctl), and from family 17h (Zen,
// and Hygon's 18h) on labels temp1 "Tctl", the die temperature "Tdie" where the
// processor has one (older kernels numbered the two the other way round) and
// "Tccd1" and up for the core dies, which are not the processor's
// temperature. zenpower, kept outside the kernel, uses the same labels.
bool isPackage(std::string_view label)
{
    return isNumbered(label, "Package id ") || isNumbered(label, "Physical id ");
}

bool isCore(std::string_view label)
{
    return isNumbered(label, "Core ");
}

bool isTdie(std::string_view label)
{
    return label == "Tdie";
}

bool isTctl(std::string_view label)
{
    return label == "Tctl" || label == UnlabelledTctl;
}

constexpr Choice Choices[] = {
    {Family::Intel, isPackage, "the package channels"},
    {Family::Intel, isCore, "the cores, as no package channel is there"},
    {Family::Amd, isTdie, "Tdie, the die's own temperature"},
    {Family::Amd, isTctl, "Tctl, as no Tdie is there"},
};

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
    return SysfsFile::readLine(device + "/name");
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
    const std::vector<QByteArray> names = SysfsFile::folderNames(device);
    for (const QByteArray& name : names) {
        const std::optional<QByteArray> input = inputForLabelFile(name);
        const std::optional<QByteArray> label =
            input ? SysfsFile::readLine(device + '/' + name) : std::nullopt;
        if (label) {
            channels.push_back({family, driver, *label, device + '/' + *input});
        }
    }
    const auto has = [&names](const char* name) {
        return std::binary_search(names.begin(), names.end(), QByteArray(name));
    };
    if (driver == "k10temp" && has("temp1_input") && !has("temp1_label")) {
        channels.push_back({family, driver,
                            QByteArray(UnlabelledTctl.data(), qsizetype(UnlabelledTctl.size())),
                            device + "/temp1_input"});
    }
}

ProcessorTemperatureChannels chosenChannels(const std::vector<Channel>& channels)
{
    for (const Choice& choice : Choices) {
        ProcessorTemperatureChannels chosen;
        for (const Channel& channel : channels) {
            if (channel.family == choice.family && choice.matches(stringView(channel.label))) {
                chosen.driver = channel.driver;
                chosen.labels.push_back(channel.label);
                chosen.inputs.push_back(channel.input);
            }
        }
        if (!chosen.inputs.empty()) {
            chosen.rule = choice.rule;
            return chosen;
        }
    }
    return {};
}

// "hwmon2 coretemp: Package id 0, Core 0"; "hwmon0 it8728"; "hwmon3 (no name)".
QString seenDevice(const QByteArray& entry, const std::optional<QByteArray>& driver,
                   const std::vector<Channel>& channels)
{
    QString text =
        decodeKernelText(entry) + u' ' + (driver ? decodeKernelText(*driver) : u"(no name)"_qs);
    QStringList labels;
    for (const Channel& channel : channels) {
        labels.append(decodeKernelText(channel.label));
    }
    return labels.isEmpty() ? text : text + u": "_qs + labels.join(u", "_qs);
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

ProcessorTemperatureChannels findProcessorTemperatureInputs(const QByteArray& systemRoot,
                                                            QStringList* seen)
{
    const QByteArray hwmon = systemRoot + "/sys/class/hwmon";
    std::vector<Channel> channels;
    bool driverLoaded = false;
    for (const QByteArray& entry : SysfsFile::folderNames(hwmon)) {
        const QByteArray device = hwmon + '/' + entry;
        const std::optional<QByteArray> driver = driverName(device);
        const size_t before = channels.size();
        if (const std::optional<Family> family = familyOf(driver)) {
            driverLoaded = true;
            addChannels(device, *family, *driver, channels);
        }
        if (seen) {
            seen->append(seenDevice(entry, driver, {channels.begin() + before, channels.end()}));
        }
    }
    ProcessorTemperatureChannels chosen = chosenChannels(channels);
    chosen.driverLoaded = driverLoaded;
    return chosen;
}

bool isProcessorTemperatureDriverLoaded(const QByteArray& systemRoot)
{
    const QByteArray hwmon = systemRoot + "/sys/class/hwmon";
    const std::vector<QByteArray> entries = SysfsFile::folderNames(hwmon);
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
