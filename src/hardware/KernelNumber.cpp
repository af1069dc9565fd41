// SPDX-License-Identifier: GPL-3.0-or-later
#include "KernelNumber.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace calidra {

std::string_view withoutLineFeed(std::string_view text)
{
    if (text.ends_with('\n')) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<qint64> parseKernelInteger(std::string_view text)
{
    text = withoutLineFeed(text);
    const char* const end = text.data() + text.size();
    qint64 value = 0;
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> numberInName(std::string_view name, std::string_view prefix,
                                std::string_view suffix)
{
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix)) {
        return std::nullopt;
    }
    const std::string_view digits =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const std::optional<qint64> number = parseKernelInteger(digits);
    return number && *number <= std::numeric_limits<int>::max() ? std::optional<int>(int(*number))
                                                                : std::nullopt;
}

std::optional<qint32> narrowToInt32(qint64 value)
{
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max()) {
        return std::nullopt;
    }
    return static_cast<qint32>(value);
}

std::optional<qint32> roundThousandths(qint64 value)
{
    // Quotient and remainder keep the sign of the value, so no step can
    // overflow, not even for the most negative value.
    qint64 whole = value / 1000;
    const qint64 rest = value % 1000;
    if (rest >= 500) {
        ++whole;
    } else if (rest <= -500) {
        --whole;
    }
    return narrowToInt32(whole);
}

} // namespace calidra
