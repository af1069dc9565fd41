// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TextRange.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace calidra {

// One-call forms of the CSRegex questions: each compiles its pattern anew with
// the given options (REG_EXTENDED always added), asks one question of the
// subject and returns the answer unchanged. A pattern that does not compile
// throws CSRegexException; nothing is kept between calls.

/// True when the pattern matches anywhere in the subject; compiled with REG_NOSUB.
bool matchedByPattern(const QString& subject, const QString& pattern, qint32 options = 0);

/// The range of the first match, or TextRange::notFound().
TextRange rangeMatchedByPattern(const QString& subject, const QString& pattern, qint32 options = 0);

/// The text of the first match; absent when there is none.
std::optional<QString> substringMatchedByPattern(const QString& subject, const QString& pattern,
                                                 qint32 options = 0);

/// The pieces of the subject between successive matches; at least one.
QStringList componentsSeparatedByPattern(const QString& subject, const QString& pattern,
                                         qint32 options = 0);

/// The texts of successive matches; empty when there is none.
QStringList allSubstringsMatchedByPattern(const QString& subject, const QString& pattern,
                                          qint32 options = 0);

/// The whole first match and each group's text (CSRegex::null() for a group
/// that took no part); absent when there is no match.
std::optional<QStringList> substringsCapturedByPattern(const QString& subject,
                                                       const QString& pattern, qint32 options = 0);

} // namespace calidra
