#pragma once

#include <locale.h>

namespace calidra {

/// Makes the calling thread read characters as UTF-8 while the object lives,
/// and gives the thread its previous locale back when it is destroyed. The
/// POSIX matcher takes the character type from the thread's locale when it
/// compiles and when it matches; a process started without a UTF-8 locale
/// (LC_CTYPE=C, as without LANG) would otherwise let "." or a bracket
/// expression match one byte of a multi-byte character.
///
/// The locale is C.UTF-8 for the character type and C for everything else, so
/// ranges in bracket expressions compare code points whatever the user's
/// language. It is made once for the process. Where it cannot be made, nothing
/// changes: matching follows the process locale, and under one that is not
/// UTF-8 a match may then split a character, whose pieces decode to U+FFFD.
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
