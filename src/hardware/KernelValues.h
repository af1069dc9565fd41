// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "kern.cpu_temp" and the like are files of /proc and /sys; see docs/GLOSSARY.md.

#include "ProcessorTemperatureSensor.h"
#include "SearchReport.h"
#include "support/ProcessWide.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace calidra {

class KeptReading;
class OnlineProcessors;

/// The process-wide lookup of named kernel values under a system root ("/" for
/// the running system). A dotted name ("kernel.ostype") is the file of that
/// path below `<root>/proc/sys`. Three names are computed: "hw.ncpu" (online
/// processors), "kern.cpu_temp" (processor temperature in whole degrees
/// Celsius, while a processor temperature driver is loaded: what a
/// ProcessorTemperatureSensor of the driver's channels reads, plausible or
/// not) and "kern.cpu_currentfreq" (clock frequency of the first online
/// processor in MHz: the first of the kernel's online list, else the
/// lowest-numbered processor folder that is online, else the first "cpu MHz"
/// of /proc/cpuinfo). The last two keep their files open after they are first
/// found (a bounded number; see KeptReading), so that a reading costs one
/// pread per kept file and no allocation; a failing reading drops them and the
/// next query looks for them afresh. What each search saw and chose goes to
/// calidra.hardware's debug log when it differs from the last search's.
///
/// The program creates one over "/" at start-up; a test creates one over a
/// fixture tree. For the main thread only: nothing here takes a lock.
class KernelValues : public ProcessWide<KernelValues>
{
public:
    /// Makes a lookup under `systemRoot`, the current one until destroyed.
    explicit KernelValues(QString systemRoot);
    ~KernelValues();

    /// The value of `name` as a 32-bit signed integer. Absent for a null,
    /// empty or malformed name (an empty component, a "/"), an unknown name, a
    /// file that cannot be read, text that is not exactly one decimal integer
    /// (one trailing line feed allowed) and a value beyond 32 bits.
    std::optional<qint32> integerValue(const char* name);

    /// The bytes of `name` as the kernel counts them: the text without its one
    /// trailing line feed, then one zero byte. A computed name gives its decimal
    /// text. Absent for a null, malformed or unknown name or an unreadable file.
    std::optional<QByteArray> bytesValue(const char* name);

    /// The system root everything here is read below.
    const QByteArray& systemRoot() const { return m_root; }

private:
    enum class Computed { ProcessorCount, Temperature, Frequency };

    static std::optional<Computed> computedName(const char* name);
    std::optional<qint32> computedValue(Computed computed);
    std::optional<QByteArray> procSysFile(const char* name) const;
    std::optional<OnlineProcessors> onlineProcessors() const;
    std::optional<qint32> processorCount() const;
    std::optional<qint32> frequency();
    std::unique_ptr<KeptReading> findFrequency();

    QByteArray m_root;
    ProcessorTemperatureSensor m_temperature;
    std::unique_ptr<KeptReading> m_frequency;
    SearchReport m_frequencyReport;
};

} // namespace calidra
