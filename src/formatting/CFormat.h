// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace calidra {

/// Formats like the C library's printf, always under the "C" locale: "." as
/// the decimal point and no digit grouping whatever the user's locale, and
/// exact binary ties rounded as the C library rounds them (48.5 with "%1.0f"
/// gives "48"). The format and any text arguments are UTF-8; the result is
/// decoded from UTF-8. Empty text when the C library cannot apply the format.
/// The calling thread's locale is the same afterwards as before.
[[gnu::format(printf, 1, 2)]] QString cFormat(const char* format, ...);

/// The same for a format made at run time, which the compiler cannot check:
/// a translation that localizedFormat has matched with its key's conversions,
/// or a format the caller builds.
QString cFormatRuntime(const char* format, ...);

} // namespace calidra
