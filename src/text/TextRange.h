// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace calidra {

/// A span of a string in that string's own UTF-16 positions: where it starts
/// and how many code units it covers. A failed search is reported as the
/// not-found range (location NotFound, length 0).
struct TextRange
{
    /// The location of a range that was not found (the largest signed 32-bit value).
    static constexpr quint32 NotFound = 2147483647;

    quint32 location = NotFound;
    quint32 length = 0;

    /// The range that a failed search yields.
    static constexpr TextRange notFound() { return TextRange{}; }

    /// True when this range marks a failed search.
    constexpr bool isNotFound() const { return location == NotFound; }

    friend constexpr bool operator==(const TextRange&, const TextRange&) = default;
};

} // namespace calidra
