// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoadableDriver.h"

#include "CpuInfo.h"
#include "KernelNumber.h"
#include "KernelText.h"
#include "ProcessorTemperatureInputs.h"
#include "SysfsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace calidra {
namespace {

using Finding = LoadableDriver::Finding;
using Verdict = LoadableDriver::Verdict;

// The first processor's lines, flags included, lie well within this.
constexpr qsizetype CpuinfoHead = 16 * 1024;

// The families that k10temp drives, as https://docs.kernel.org/hwmon/k10temp.html
// lists them: 10h to 16h without 13h, 17h (Zen), 18h (Hygon), 19h and 1Ah.
// An older family (0Fh, the Athlon 64) has a driver of its own, k8temp.
constexpr std::array<qint64, 10> K10tempFamilies = {0x10, 0x11, 0x12, 0x14, 0x15,
                                                    0x16, 0x17, 0x18, 0x19, 0x1a};

constexpr std::array<std::string_view, 4> ModuleEndings = {".ko", ".ko.xz", ".ko.zst", ".ko.gz"};

bool hasFlag(std::string_view flags, std::string_view flag)
{
    while (!flags.empty()) {
        const size_t space = flags.find_first_of(" \t");
        if (flags.substr(0, space) == flag) {
            return true;
        }
        flags.remove_prefix(space == std::string_view::npos ? flags.size() : space + 1);
    }
    return false;
}

QString text(std::string_view view)
{
    return decodeKernelText(QByteArrayView(view.data(), qsizetype(view.size())));
}

// Whether `path` (a module file as modules.dep lists it) is the driver's module.
bool namesModule(std::string_view path, std::string_view driver)
{
    const std::string_view file = path.substr(path.find_last_of('/') + 1);
    return file.starts_with(driver) && std::find(ModuleEndings.begin(), ModuleEndings.end(),
                                                 file.substr(driver.size())) != ModuleEndings.end();
}

// Whether modules.dep, whose lines are "<module>: <dependencies>", lists the driver.
bool listsModule(std::string_view dependencies, std::string_view driver)
{
    while (!dependencies.empty()) {
        const size_t end = dependencies.find('\n');
        const std::string_view line = dependencies.substr(0, end);
        if (const size_t colon = line.find(':');
            colon != std::string_view::npos && namesModule(line.substr(0, colon), driver)) {
            return true;
        }
        dependencies.remove_prefix(end == std::string_view::npos ? dependencies.size() : end + 1);
    }
    return false;
}

bool isPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\n\0", 3)) == std::string_view::npos;
}

// Where the running kernel's modules are; absent when its release cannot be read.
std::optional<QByteArray> moduleFolder(const QByteArray& root)
{
    const std::optional<QByteArray> release = SysfsFile::readAt(
        AT_FDCWD, (root + "/proc/sys/kernel/osrelease").constData(), SysfsFile::Links::Follow);
    const std::string_view name = release ? withoutLineFeed(stringView(*release)) : "";
    if (!isPlainName(name)) {
        return std::nullopt;
    }
    return root + "/lib/modules/" + QByteArray(name.data(), qsizetype(name.size()));
}

bool hasModule(const QByteArray& folder, const QByteArray& driver)
{
    for (const std::string_view ending : ModuleEndings) {
        const QByteArray file = folder + "/kernel/drivers/hwmon/" + driver +
                                QByteArray(ending.data(), qsizetype(ending.size()));
        if (::access(file.constData(), F_OK) == 0) {
            return true;
        }
    }
    const std::optional<QByteArray> dependencies = SysfsFile::readHead(
        (folder + "/modules.dep").constData(), LoadableDriver::MaximumModuleListSize);
    return dependencies && listsModule(stringView(*dependencies), stringView(driver));
}

// Why the driver does not drive this processor; absent when it does.
std::optional<QString> whyNotDriven(const QByteArray& driver, std::string_view cpuinfo)
{
    if (driver == "coretemp") {
        if (hasFlag(cpuinfoField(cpuinfo, "flags").value_or(""), "dtherm")) {
            return std::nullopt;
        }
        return u"no digital thermal sensor (no \"dtherm\" flag), which coretemp needs"_qs;
    }
    const std::optional<std::string_view> field = cpuinfoField(cpuinfo, "cpu family");
    const std::optional<qint64> family = field ? parseKernelInteger(*field) : std::nullopt;
    if (!family) {
        return u"no processor family"_qs;
    }
    if (std::find(K10tempFamilies.begin(), K10tempFamilies.end(), *family) !=
        K10tempFamilies.end()) {
        return std::nullopt;
    }
    return u"family %1h, which k10temp does not drive"_qs.arg(*family, 2, 16, QChar(u'0'));
}

} // namespace

LoadableDriver::Finding LoadableDriver::examine(const QByteArray& systemRoot)
{
    const std::optional<QByteArray> head =
        SysfsFile::readHead((systemRoot + "/proc/cpuinfo").constData(), CpuinfoHead);
    const std::string_view cpuinfo = head ? stringView(*head) : "";
    const std::string_view vendor = cpuinfoVendor(cpuinfo).value_or("");
    const std::optional<QByteArray> driver = processorTemperatureDriver(vendor);
    if (!driver) {
        return {Verdict::NoDriverForVendor,
                {},
                u"no temperature driver for the processor vendor \"%1\""_qs.arg(text(vendor))};
    }
    if (hasFlag(cpuinfoField(cpuinfo, "flags").value_or(""), "hypervisor")) {
        return {Verdict::Hypervisor, *driver,
                u"a virtual machine (\"hypervisor\" flag): its host hides the sensors"_qs};
    }
    if (std::optional<QString> why = whyNotDriven(*driver, cpuinfo)) {
        return {Verdict::UnsupportedProcessor, *driver, std::move(*why)};
    }
    const std::optional<QByteArray> folder = moduleFolder(systemRoot);
    if (!folder) {
        return {Verdict::NoModule, *driver, u"the kernel's release cannot be read"_qs};
    }
    if (!hasModule(*folder, *driver)) {
        return {
            Verdict::NoModule, *driver,
            u"no module %1 in %2"_qs.arg(QString::fromLatin1(*driver), decodeKernelText(*folder))};
    }
    return {Verdict::Loadable, *driver,
            u"the module %1 is there for this kernel and drives this processor"_qs.arg(
                QString::fromLatin1(*driver))};
}

} // namespace calidra
