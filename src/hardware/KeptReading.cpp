// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeptReading.h"

#include "CpuInfo.h"
#include "KernelNumber.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>

namespace calidra {
namespace {

// Large enough for the head of /proc/cpuinfo; a number file that fills it holds
// far more than any number.
constexpr size_t BufferSize = 4096;

int openRegularFile(const QByteArray& path)
{
    const int file = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat status = {};
    if (file >= 0 && (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode))) {
        ::close(file);
        return -1;
    }
    return file;
}

} // namespace

KeptReading::KeptReading(Form form) : m_form(form)
{}

KeptReading::~KeptReading()
{
    for (const int file : m_files) {
        ::close(file);
    }
}

std::unique_ptr<KeptReading> KeptReading::open(const std::vector<QByteArray>& paths, Form form)
{
    std::unique_ptr<KeptReading> reading(new KeptReading(form));
    for (const QByteArray& path : paths) {
        if (reading->m_files.size() == MaximumOpenFiles) {
            reading->m_unkeptPaths.push_back(path); // checked by the first reading
            continue;
        }
        const int file = openRegularFile(path);
        if (file < 0) {
            return nullptr;
        }
        reading->m_files.push_back(file);
    }
    return reading->read() ? std::move(reading) : nullptr;
}

std::optional<qint32> KeptReading::read() const
{
    std::optional<qint32> highest;
    const auto take = [&highest](std::optional<qint32> value) {
        if (value) {
            highest = std::max(highest.value_or(*value), *value);
        }
        return value.has_value();
    };
    for (const int file : m_files) {
        if (!take(readFile(file))) {
            return std::nullopt;
        }
    }
    for (const QByteArray& path : m_unkeptPaths) {
        if (!take(readPath(path))) {
            return std::nullopt;
        }
    }
    return highest;
}

std::optional<qint32> KeptReading::readPath(const QByteArray& path) const
{
    const int file = openRegularFile(path);
    if (file < 0) {
        return std::nullopt;
    }
    const std::optional<qint32> value = readFile(file);
    ::close(file);
    return value;
}

std::optional<qint32> KeptReading::readFile(int file) const
{
    std::array<char, BufferSize> buffer;
    ssize_t count = 0;
    do {
        count = ::pread(file, buffer.data(), buffer.size(), 0);
    } while (count < 0 && errno == EINTR);
    if (count <= 0) {
        return std::nullopt;
    }
    const std::string_view text(buffer.data(), static_cast<size_t>(count));
    if (m_form == Form::CpuinfoMegahertz) {
        return cpuinfoMegahertz(text);
    }
    const std::optional<qint64> number =
        text.size() < buffer.size() ? parseKernelInteger(text) : std::nullopt;
    if (!number) {
        return std::nullopt;
    }
    return m_form == Form::Whole ? narrowToInt32(*number) : roundThousandths(*number);
}

} // namespace calidra
