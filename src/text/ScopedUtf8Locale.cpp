// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScopedUtf8Locale.h"

namespace calidra {
namespace {

// Kept for the whole run; null only when neither locale can be made.
locale_t utf8Locale()
{
    static const locale_t locale = [] {
        const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
        return utf8 ? utf8 : newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    }();
    return locale;
}

} // namespace

ScopedUtf8Locale::ScopedUtf8Locale()
    : m_previous(utf8Locale() ? uselocale(utf8Locale()) : locale_t(nullptr))
{}

ScopedUtf8Locale::~ScopedUtf8Locale()
{
    if (m_previous) {
        uselocale(m_previous);
    }
}

} // namespace calidra
