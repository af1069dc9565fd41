// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>
#include <string_view>

namespace calidra {

/// The bytes of a kernel file as a string view, for parsing without copies.
inline std::string_view stringView(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
}

/// The text of a kernel file without its one trailing line feed, if it has one.
std::string_view withoutLineFeed(std::string_view text);

/// The value of text that holds exactly one decimal integer, optionally followed
/// by one line feed. Absent for anything else (spaces, signs other than a
/// leading minus, a second number) and for a number beyond 64 bits.
std::optional<qint64> parseKernelInteger(std::string_view text);

/// N of a kernel name "<prefix>N<suffix>" ("temp3_input", "thermal_zone12"):
/// N only decimal digits, at least one, with a value that an int holds.
std::optional<int> numberInName(std::string_view name, std::string_view prefix,
                                std::string_view suffix);

/// The value when it fits in 32 signed bits, else absent.
std::optional<qint32> narrowToInt32(qint64 value);

/// Thousandths of a unit (millidegrees, kilohertz) rounded to the nearest whole
/// unit, halves away from zero. Absent when the result does not fit in 32 bits.
std::optional<qint32> roundThousandths(qint64 value);

} // namespace calidra
