#pragma once

#include <QByteArray>

#include <memory>
#include <optional>
#include <vector>

namespace calidra {

/// A set of kernel files kept open between readings, and how their text becomes
/// one value. Each reading costs one pread per file into a stack buffer: no
/// allocation, no open, no folder scan. Closes each file once, when destroyed.
class KeptReading
{
public:
    /// How the text of each file becomes a value. With several files the
    /// highest of their values is the reading.
    enum class Form {
        /// One decimal integer in thousandths of the unit (millidegrees,
        /// kilohertz), rounded to the nearest whole unit.
        Thousandths,
        /// The first "cpu MHz" line among the first 4 KiB of /proc/cpuinfo.
        CpuinfoMegahertz,
    };

    /// Opens every file of `paths` (following links) and takes a first reading.
    /// Null when there is no path, a file cannot be opened or is not a regular
    /// file, or the first reading fails.
    static std::unique_ptr<KeptReading> open(const std::vector<QByteArray>& paths, Form form);

    ~KeptReading();
    KeptReading(const KeptReading&) = delete;
    KeptReading& operator=(const KeptReading&) = delete;

    /// Reads every file from its start. Absent when any read fails (EIO,
    /// ENODEV from a device that has gone), gives no bytes, or holds text that
    /// is not a value of this form; the files then stay open but are of no use.
    std::optional<qint32> read() const;

private:
    explicit KeptReading(Form form);
    std::optional<qint32> readFile(int file) const;

    Form m_form;
    std::vector<int> m_files;
};

} // namespace calidra
