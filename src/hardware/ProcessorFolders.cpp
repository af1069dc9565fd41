// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProcessorFolders.h"

#include "KernelNumber.h"
#include "SysfsFile.h"

#include <dirent.h>
#include <fcntl.h>

#include <algorithm>
#include <charconv>
#include <string_view>
#include <vector>

namespace calidra {
namespace {

// The number of a "cpuN" folder name; absent for every other name ("cpufreq",
// "cpuidle", "cpu01").
std::optional<quint32> processorNumber(std::string_view name)
{
    constexpr std::string_view Prefix = "cpu";
    if (!name.starts_with(Prefix) || name.size() == Prefix.size() ||
        (name.size() > Prefix.size() + 1 && name[Prefix.size()] == '0')) {
        return std::nullopt;
    }
    quint32 number = 0;
    const char* const end = name.data() + name.size();
    const auto [stop, error] = std::from_chars(name.data() + Prefix.size(), end, number);
    return error == std::errc() && stop == end ? std::optional(number) : std::nullopt;
}

std::vector<quint32> processorNumbers(const QByteArray& folder)
{
    std::vector<quint32> numbers;
    DIR* const listing = ::opendir(folder.constData());
    if (listing == nullptr) {
        return numbers;
    }
    for (int seen = 0; seen < ProcessorFolders::MaximumEntries; ++seen) {
        const dirent* entry = ::readdir(listing);
        if (entry == nullptr) {
            break;
        }
        if (const std::optional<quint32> number = processorNumber(entry->d_name)) {
            numbers.push_back(*number);
        }
    }
    ::closedir(listing);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

bool isOnline(const QByteArray& folder, quint32 number)
{
    const QByteArray path = folder + "/cpu" + QByteArray::number(number) + "/online";
    const std::optional<QByteArray> state =
        SysfsFile::readAt(AT_FDCWD, path.constData(), SysfsFile::Links::Follow);
    return !state || parseKernelInteger(stringView(*state)) == 1;
}

} // namespace

std::optional<quint32> ProcessorFolders::firstOnline(const QByteArray& folder)
{
    for (const quint32 number : processorNumbers(folder)) {
        if (isOnline(folder, number)) {
            return number;
        }
    }
    return std::nullopt;
}

} // namespace calidra
