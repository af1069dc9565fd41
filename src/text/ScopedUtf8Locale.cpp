#include "ScopedUtf8Locale.h"

namespace calidra {
namespace {

// Kept for the whole run; null when the system has no C.UTF-8.
locale_t utf8Locale()
{
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
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
