// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace calidra {

/// The context of every translated text: the program has one string table.
inline constexpr char TranslationContext[] = "Calidra";

/// The user's text for an English key from the installed translation; the key
/// itself where there is none.
QString localizedString(const char* key);

/// The conversions of a printf-style format in order, flags, width,
/// precision and length included ("%1.1f and %@" gives "1.1f@"); a percent
/// sign not followed by a conversion letter or "@" is no conversion.
QString printfConversions(const QString& format);

/// The translation of a printf-style format, used only when it has the same
/// conversions in the same order as the key; otherwise the key itself, so
/// that a faulty translation can never make a formatting call read arguments
/// that are not there.
QString localizedFormat(const char* key);

} // namespace calidra
