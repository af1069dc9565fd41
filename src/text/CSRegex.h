// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "CSRegex" is a POSIX extended regular expression; see docs/GLOSSARY.md.

#include "TextRange.h"

#include <QString>
#include <QStringList>

#include <regex.h>

#include <functional>
#include <memory>
#include <optional>
#include <span>

namespace calidra {

/// One compiled POSIX extended regular expression and the questions it answers
/// about subject strings. Subjects are matched as their UTF-8 bytes up to the
/// first zero byte (a U+0000 character ends the search); positions handed back
/// are UTF-16 positions in the subject. Patterns and subjects are read as
/// UTF-8 whatever the process locale (see ScopedUtf8Locale), so "." and
/// bracket expressions match whole characters. An instance never changes
/// after it is built. With REG_NOSUB the matcher reports no positions, so only
/// matchesString() can answer; the other questions answer as for no match.
class CSRegex
{
public:
    /// Compiles the pattern with the given REG_ICASE, REG_NEWLINE or REG_NOSUB
    /// flags; REG_EXTENDED is always added. Throws CSRegexException, naming the
    /// pattern and the matcher's message, when the pattern does not compile or
    /// when RegexExpansion refuses it before it reaches the matcher ("Regular
    /// expression too big", "Invalid preceding regular expression").
    explicit CSRegex(const QString& pattern, qint32 options = 0);
    ~CSRegex();
    CSRegex(const CSRegex&) = delete;
    CSRegex& operator=(const CSRegex&) = delete;

    /// Builds a new regex as the constructor does; throws CSRegexException alike.
    static std::unique_ptr<CSRegex> regexWithPattern(const QString& pattern, qint32 options = 0);

    /// The marker for a group that took no part in a match: the null QString,
    /// which a caller tells from an empty group match with isNull().
    static QString null();

    /// True when the pattern matches anywhere in the subject.
    bool matchesString(const QString& subject) const;

    /// The range of the first match, or TextRange::notFound() when there is none.
    TextRange rangeOfMatchInString(const QString& subject) const;

    /// The text of the first match; absent when there is none.
    std::optional<QString> matchedSubstringOfString(const QString& subject) const;

    /// The whole first match followed by the text of each group, null() for a
    /// group that took no part; absent when there is no match.
    std::optional<QStringList> capturedSubstringsOfString(const QString& subject) const;

    /// The texts of successive matches, each search running on the rest of the
    /// subject after the previous match as a subject of its own; after an empty
    /// match the next search starts one character later. Empty when none match.
    QStringList allMatchedSubstringsOfString(const QString& subject) const;

    /// The pieces between the successive matches of allMatchedSubstringsOfString,
    /// then the rest after the last match: always at least one piece, and
    /// together with the matches they make up the whole subject.
    QStringList splitString(const QString& subject) const;

private:
    using MatchHandler = std::function<void(qsizetype matchStart, qsizetype matchEnd)>;

    bool findMatch(const QByteArray& bytes, qsizetype start, qsizetype end,
                   std::span<regmatch_t> groups) const;
    void forEachMatch(const QByteArray& bytes, const MatchHandler& onMatch) const;

    regex_t preg;
    bool m_reportsPositions;
};

} // namespace calidra
