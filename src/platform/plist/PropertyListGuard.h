// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace calidra {

/// Decides, before a property list is parsed, whether the parser may be given
/// it. The parser follows nested containers recursively and expands every
/// reference of a binary property list, so a small hostile file could exhaust
/// the stack or the memory inside it; it also aborts the program on a binary
/// dictionary key that holds U+0000. Such files are refused here.
class PropertyListGuard
{
public:
    /// Containers nested deeper than this are refused before parsing.
    static constexpr int MaximumDepth = 512;
    /// A binary property list that expands to more values than this is
    /// refused before parsing.
    static constexpr quint64 MaximumValues = quint64(1) << 18;

    /// True when `document` may be parsed: a binary property list whose
    /// object graph is well formed, acyclic and within both limits and whose
    /// dictionary keys hold no U+0000, or XML text without a zero byte whose
    /// array and dict elements nest at most MaximumDepth levels.
    /// XML nesting is counted on the raw bytes, skipping comments, CDATA
    /// sections and quoted attribute values; an unterminated construct ends
    /// the count, and the parser then refuses the text itself.
    static bool admits(const QByteArray& document);
};

} // namespace calidra
