// SPDX-License-Identifier: GPL-3.0-or-later
#include "KernelValues.h"

#include "CpuInfo.h"
#include "KeptReading.h"
#include "KernelNumber.h"
#include "OnlineProcessors.h"
#include "ProcessorFolders.h"
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

// Where the clock comes from, for the log.
QString frequencyReport(std::optional<quint32> first, bool listed, bool fromCpufreq, bool found)
{
    QString text = first ? u"cpu%1 is the first online processor (%2)"_qs.arg(*first).arg(
                               listed ? u"by the online list"_qs
                                      : u"by the processor folders, without an online list"_qs)
                         : u"no online processor found"_qs;
    if (fromCpufreq) {
        return text + u"; its cpufreq/scaling_cur_freq gives the clock"_qs;
    }
    return text + (found ? u"; /proc/cpuinfo's first \"cpu MHz\" gives the clock"_qs
                         : u"; nothing gives the clock"_qs);
}

} // namespace

KernelValues::KernelValues(QString systemRoot)
    : m_root(QFile::encodeName(systemRoot)),
      m_temperature(ProcessorTemperatureSensor::Input::DriverChannels, m_root)
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
        return m_temperature.read().value;
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

// Reads the kept file, first finding it when none is kept; drops it when the
// reading fails, so that the next query looks for it afresh.
std::optional<qint32> KernelValues::frequency()
{
    if (!m_frequency) {
        m_frequency = findFrequency();
    }
    const std::optional<qint32> value = m_frequency ? m_frequency->read() : std::nullopt;
    if (!value) {
        m_frequency.reset();
    }
    return value;
}

std::unique_ptr<KeptReading> KernelValues::findFrequency()
{
    const std::optional<OnlineProcessors> online = onlineProcessors();
    // Without the kernel's list, each processor's own folder says it.
    const std::optional<quint32> first =
        online ? online->first()
               : ProcessorFolders::firstOnline(m_root + "/sys/devices/system/cpu");
    std::unique_ptr<KeptReading> reading =
        first ? KeptReading::open({m_root + "/sys/devices/system/cpu/cpu" +
                                   QByteArray::number(*first) + "/cpufreq/scaling_cur_freq"},
                                  KeptReading::Form::Thousandths)
              : nullptr;
    const bool fromCpufreq = reading != nullptr;
    if (!reading) {
        reading =
            KeptReading::open({m_root + "/proc/cpuinfo"}, KeptReading::Form::CpuinfoMegahertz);
    }
    if (SearchReport::isWanted()) {
        m_frequencyReport.tell(
            "clock", frequencyReport(first, online.has_value(), fromCpufreq, reading != nullptr));
    }
    return reading;
}

} // namespace calidra
