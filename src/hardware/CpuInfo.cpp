#include "CpuInfo.h"

#include <charconv>
#include <cmath>

namespace calidra {
namespace {

constexpr std::string_view Blanks = " \t";

// The value of the line "key<blanks>: value" when its key is `key`.
std::optional<std::string_view> fieldValue(std::string_view line, std::string_view key)
{
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view name = line.substr(0, colon);
    name = name.substr(0, name.find_last_not_of(Blanks) + 1);
    if (name != key) {
        return std::nullopt;
    }
    const std::string_view value = line.substr(colon + 1);
    const size_t start = value.find_first_not_of(Blanks);
    return start == std::string_view::npos ? std::string_view() : value.substr(start);
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

} // namespace calidra
