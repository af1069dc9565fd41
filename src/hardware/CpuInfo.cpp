// SPDX-License-Identifier: GPL-3.0-or-later
#include "CpuInfo.h"

#include <charconv>
#include <cmath>

namespace calidra {
namespace {

constexpr std::string_view Blanks = " \t";
constexpr std::string_view WhiteSpace = " \t\n\v\f\r";

std::string_view withoutTrailing(std::string_view text, std::string_view blanks)
{
    return text.substr(0, text.find_last_not_of(blanks) + 1);
}

std::string_view withoutLeading(std::string_view text, std::string_view blanks)
{
    const size_t start = text.find_first_not_of(blanks);
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

// The value of the line "key<blanks>: value" when its key is `key`.
std::optional<std::string_view> fieldValue(std::string_view line, std::string_view key)
{
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || withoutTrailing(line.substr(0, colon), Blanks) != key) {
        return std::nullopt;
    }
    return withoutLeading(line.substr(colon + 1), Blanks);
}

// The value of the line "<white space>key<white space>: value", without
// white space at either end.
std::optional<std::string_view> keyedValue(std::string_view line, std::string_view key)
{
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos ||
        withoutLeading(withoutTrailing(line.substr(0, colon), WhiteSpace), WhiteSpace) != key) {
        return std::nullopt;
    }
    return withoutLeading(withoutTrailing(line.substr(colon + 1), WhiteSpace), WhiteSpace);
}

// Splits off the first complete line of `text`; absent when none is left.
std::optional<std::string_view> takeLine(std::string_view& text)
{
    const size_t end = text.find('\n');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return line;
}

std::optional<qint32> roundedMegahertz(std::string_view text)
{
    const char* const end = text.data() + text.size();
    double value = 0;
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (error != std::errc() || stop != end || !std::isfinite(value) ||
        std::fabs(value) >= 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<qint32>(std::lround(value));
}

} // namespace

std::optional<qint32> cpuinfoProcessorCount(std::string_view cpuinfo)
{
    qint32 count = 0;
    while (const std::optional<std::string_view> line = takeLine(cpuinfo)) {
        if (fieldValue(*line, "processor")) {
            ++count;
        }
    }
    return count > 0 ? std::optional<qint32>(count) : std::nullopt;
}

std::optional<qint32> cpuinfoMegahertz(std::string_view cpuinfo)
{
    while (const std::optional<std::string_view> line = takeLine(cpuinfo)) {
        if (const std::optional<std::string_view> value = fieldValue(*line, "cpu MHz")) {
            return roundedMegahertz(*value);
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> cpuinfoField(std::string_view cpuinfo, std::string_view key)
{
    while (const std::optional<std::string_view> line = takeLine(cpuinfo)) {
        if (const std::optional<std::string_view> value = keyedValue(*line, key)) {
            return value;
        }
    }
    return keyedValue(cpuinfo, key);
}

std::optional<std::string_view> cpuinfoVendor(std::string_view cpuinfo)
{
    return cpuinfoField(cpuinfo, "vendor_id");
}

} // namespace calidra
