// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <memory>
#include <optional>
#include <vector>

namespace calidra {

/// A set of kernel files read again and again, and how their text becomes one
/// value. The first MaximumOpenFiles files are kept open between readings: each
/// costs one pread into a stack buffer, with no allocation, no open and no
/// folder scan. Files beyond them (a machine with thousands of "Core N"
/// channels) are opened, read and closed one at a time at every reading, so
/// that the set never holds more than one descriptor beyond the bound. Closes
/// each kept file once, when destroyed.
class KeptReading
{
public:
    /// How many files stay open between readings.
    static constexpr size_t MaximumOpenFiles = 32;

    /// How the text of each file becomes a value. With several files the
    /// highest of their values is the reading.
    enum class Form {
        /// One decimal integer in thousandths of the unit (millidegrees,
        /// kilohertz), rounded to the nearest whole unit.
        Thousandths,
        /// One decimal integer, taken as it is (millidegrees kept exact).
        Whole,
        /// The first "cpu MHz" line among the first 4 KiB of /proc/cpuinfo.
        CpuinfoMegahertz,
    };

    /// Opens the files of `paths` (following links), at most MaximumOpenFiles
    /// of them kept, and takes a first reading. Null when there is no path, a
    /// file cannot be opened or is not a regular file, or the first reading
    /// fails.
    static std::unique_ptr<KeptReading> open(const std::vector<QByteArray>& paths, Form form);

    ~KeptReading();
    KeptReading(const KeptReading&) = delete;
    KeptReading& operator=(const KeptReading&) = delete;

    /// Reads every file from its start. Absent when any read fails (EIO,
    /// ENODEV from a device that has gone), a file beyond the kept ones can no
    /// longer be opened as a regular file, or a file gives no bytes or holds
    /// text that is not a value of this form; the kept files then stay open
    /// but are of no use.
    std::optional<qint32> read() const;

private:
    explicit KeptReading(Form form);
    std::optional<qint32> readFile(int file) const;
    std::optional<qint32> readPath(const QByteArray& path) const;

    Form m_form;
    std::vector<int> m_files;
    std::vector<QByteArray> m_unkeptPaths;
};

} // namespace calidra
