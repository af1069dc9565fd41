// SPDX-License-Identifier: GPL-3.0-or-later
#include "CFormat.h"

#include "text/ScopedUtf8Locale.h"

#include <QByteArray>

#include <array>
#include <cstdarg>
#include <cstdio>

namespace calidra {
namespace {

// Most results fit the stack buffer; a longer one is formatted a second time
// into a buffer of its length.
[[gnu::format(printf, 1, 0)]] QByteArray formatted(const char* format, std::va_list arguments)
{
    std::array<char, 256> buffer;
    std::va_list first;
    va_copy(first, arguments);
    const int length = std::vsnprintf(buffer.data(), buffer.size(), format, first);
    va_end(first);
    if (length < 0) {
        return {};
    }
    if (static_cast<size_t>(length) < buffer.size()) {
        return QByteArray(buffer.data(), length);
    }
    QByteArray text(length, '\0'); // room for the terminating zero byte beyond its size
    std::vsnprintf(text.data(), static_cast<size_t>(length) + 1, format, arguments);
    return text;
}

[[gnu::format(printf, 1, 0)]] QString decoded(const char* format, std::va_list arguments)
{
    const ScopedUtf8Locale cNumbers;
    return QString::fromUtf8(formatted(format, arguments));
}

} // namespace

QString cFormat(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    QString text = decoded(format, arguments);
    va_end(arguments);
    return text;
}

// The one place a format reaches the C library unchecked by the compiler: its
// callers have matched its conversions with their arguments.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
QString cFormatRuntime(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    QString text = decoded(format, arguments);
    va_end(arguments);
    return text;
}
#pragma GCC diagnostic pop

} // namespace calidra
