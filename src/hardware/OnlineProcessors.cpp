// SPDX-License-Identifier: GPL-3.0-or-later
#include "OnlineProcessors.h"

#include "KernelNumber.h"

#include <charconv>

namespace calidra {
namespace {

struct Range
{
    qint64 start;
    qint64 end;
};

std::optional<quint32> takeNumber(std::string_view& text)
{
    quint32 number = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc()) {
        return std::nullopt;
    }
    text.remove_prefix(static_cast<size_t>(stop - text.data()));
    return number;
}

// One item of the list: "N" or "A-B" with A <= B, nothing else.
std::optional<Range> parseRange(std::string_view item)
{
    const std::optional<quint32> start = takeNumber(item);
    if (!start) {
        return std::nullopt;
    }
    if (item.empty()) {
        return Range{*start, *start};
    }
    if (item.front() != '-') {
        return std::nullopt;
    }
    item.remove_prefix(1);
    const std::optional<quint32> end = takeNumber(item);
    if (!end || !item.empty() || *end < *start) {
        return std::nullopt;
    }
    return Range{*start, *end};
}

} // namespace

OnlineProcessors::OnlineProcessors(quint32 first, qint32 count) : m_first(first), m_count(count)
{}

std::optional<OnlineProcessors> OnlineProcessors::parse(std::string_view list)
{
    list = withoutLineFeed(list);
    std::optional<quint32> first;
    qint64 count = 0;
    qint64 previousEnd = -1;
    for (;;) {
        const size_t comma = list.find(',');
        const std::optional<Range> range = parseRange(list.substr(0, comma));
        if (!range || range->start <= previousEnd) {
            return std::nullopt;
        }
        first = first.value_or(static_cast<quint32>(range->start));
        count += range->end - range->start + 1;
        previousEnd = range->end;
        if (comma == std::string_view::npos) {
            break;
        }
        list.remove_prefix(comma + 1);
    }
    const std::optional<qint32> total = narrowToInt32(count);
    if (!total) {
        return std::nullopt;
    }
    return OnlineProcessors(*first, *total);
}

} // namespace calidra
