// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <locale.h>

namespace calidra {

/// Makes the calling thread use the C locale with UTF-8 characters while the
/// object lives, and gives the thread its previous locale back when it is
/// destroyed. Two things depend on the thread's locale and must not follow
/// the user's or the process's:
/// - the POSIX matcher takes the character type from it when it compiles and
///   when it matches; a process started without a UTF-8 locale (LC_CTYPE=C,
///   as without LANG) would otherwise let "." or a bracket expression match
///   one byte of a multi-byte character;
/// - printf conversions take the decimal point and grouping from it.
///
/// The locale is C.UTF-8 for the character type and C for everything else, so
/// numbers always use "." and ranges in bracket expressions compare code
/// points. It is made once for the process. Where C.UTF-8 cannot be had, the
/// plain C locale stands in: numbers are the same, and a match may then split
/// a multi-byte character, whose pieces decode to U+FFFD. Where not even that
/// can be made (no memory), nothing changes.
class ScopedUtf8Locale
{
public:
    ScopedUtf8Locale();
    ~ScopedUtf8Locale();
    ScopedUtf8Locale(const ScopedUtf8Locale&) = delete;
    ScopedUtf8Locale& operator=(const ScopedUtf8Locale&) = delete;

private:
    locale_t m_previous;
};

} // namespace calidra
