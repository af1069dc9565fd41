// SPDX-License-Identifier: GPL-3.0-or-later
#include "KernelValues.h"

#include "CpuInfo.h"
#include "KeptReading.h"
#include "KernelNumber.h"
#include "OnlineProcessors.h"
#include "ProcessorFolders.h"
#include "ProcessorTemperatureInputs.h"
#include "SysfsFile.h"

#include <QFile>

#include <fcntl.h>

#include <algorithm>
#include <string_view>

namespace calidra {
namespace {

// A dotted name whose components are all non-empty and hold no "/": no
// component can be "." or "..", so the path stays below proc/sys.
bool isSafeName(std::string_view name)
{
    return !name.empty() && !name.starts_with('.') && !name.ends_with('.') &&
           name.find("..") == std::string_view::npos && name.find('/') == std::string_view::npos;
}

std::optional<QByteArray> readFile(const QByteArray& path)
{
    return SysfsFile::readAt(AT_FDCWD, path.constData(), SysfsFile::Links::Follow);
}

// Reads the kept files, first finding them with `find` when none are kept;
// drops them when the reading fails.
template <typename Find>
std::optional<qint32> keptValue(std::unique_ptr<KeptReading>& kept, Find find)
{
    if (!kept) {
        kept = find();
    }
    const std::optional<qint32> value = kept ? kept->read() : std::nullopt;
    if (!value) {
        kept.reset();
    }
    return value;
}

} // namespace

KernelValues::KernelValues(QString systemRoot) : m_root(QFile::encodeName(systemRoot))
{}

KernelValues::~KernelValues() = default;

std::optional<qint32> KernelValues::integerValue(const char* name)
{
    if (const std::optional<Computed> computed = computedName(name)) {
        return computedValue(*computed);
    }
    const std::optional<QByteArray> text = procSysFile(name);
    const std::optional<qint64> value = text ? parseKernelInteger(stringView(*text)) : std::nullopt;
    return value ? narrowToInt32(*value) : std::nullopt;
}

std::optional<QByteArray> KernelValues::bytesValue(const char* name)
{
    std::optional<QByteArray> bytes;
    if (const std::optional<Computed> computed = computedName(name)) {
        const std::optional<qint32> value = computedValue(*computed);
        bytes = value ? std::optional<QByteArray>(QByteArray::number(*value)) : std::nullopt;
    } else {
        bytes = procSysFile(name);
        if (bytes && bytes->endsWith('\n')) {
            bytes->chop(1);
        }
    }
    if (bytes) {
        bytes->append('\0');
    }
    return bytes;
}

std::optional<KernelValues::Computed> KernelValues::computedName(const char* name)
{
    const std::string_view text = name == nullptr ? std::string_view() : std::string_view(name);
    if (text == "hw.ncpu") {
        return Computed::ProcessorCount;
    }
    if (text == "kern.cpu_temp") {
        return Computed::Temperature;
    }
    if (text == "kern.cpu_currentfreq") {
        return Computed::Frequency;
    }
    return std::nullopt;
}

std::optional<qint32> KernelValues::computedValue(Computed computed)
{
    switch (computed) {
    case Computed::ProcessorCount:
        return processorCount();
    case Computed::Temperature:
        return temperature();
    case Computed::Frequency:
        return frequency();
    }
    return std::nullopt;
}

std::optional<QByteArray> KernelValues::procSysFile(const char* name) const
{
    if (name == nullptr || !isSafeName(name)) {
        return std::nullopt;
    }
    QByteArray relative(name);
    std::replace(relative.begin(), relative.end(), '.', '/');
    return readFile(m_root + "/proc/sys/" + relative);
}

std::optional<OnlineProcessors> KernelValues::onlineProcessors() const
{
    const std::optional<QByteArray> list = readFile(m_root + "/sys/devices/system/cpu/online");
    return list ? OnlineProcessors::parse(stringView(*list)) : std::nullopt;
}

std::optional<qint32> KernelValues::processorCount() const
{
    const std::optional<OnlineProcessors> online = onlineProcessors();
    if (online) {
        return online->count();
    }
    const std::optional<QByteArray> cpuinfo = readFile(m_root + "/proc/cpuinfo");
    return cpuinfo ? cpuinfoProcessorCount(stringView(*cpuinfo)) : std::nullopt;
}

std::optional<qint32> KernelValues::temperature()
{
    const std::optional<qint32> value = keptValue(m_temperature, [this] {
        const ProcessorTemperatureChannels channels = findProcessorTemperatureInputs(m_root);
        m_temperatureSource = channels.description();
        return KeptReading::open(channels.inputs, KeptReading::Form::Thousandths);
    });
    if (!value) {
        m_temperatureSource.reset();
    }
    return value;
}

std::optional<qint32> KernelValues::frequency()
{
    return keptValue(m_frequency, [this] { return findFrequency(); });
}

std::optional<quint32> KernelValues::firstOnlineProcessor() const
{
    if (const std::optional<OnlineProcessors> online = onlineProcessors()) {
        return online->first();
    }
    // Without the kernel's list, each processor's own folder says it.
    return ProcessorFolders::firstOnline(m_root + "/sys/devices/system/cpu");
}

std::unique_ptr<KeptReading> KernelValues::findFrequency() const
{
    if (const std::optional<quint32> first = firstOnlineProcessor()) {
        const QByteArray path = m_root + "/sys/devices/system/cpu/cpu" +
                                QByteArray::number(*first) + "/cpufreq/scaling_cur_freq";
        if (std::unique_ptr<KeptReading> reading =
                KeptReading::open({path}, KeptReading::Form::Thousandths)) {
            return reading;
        }
    }
    return KeptReading::open({m_root + "/proc/cpuinfo"}, KeptReading::Form::CpuinfoMegahertz);
}

} // namespace calidra
