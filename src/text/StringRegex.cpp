// SPDX-License-Identifier: GPL-3.0-or-later
#include "StringRegex.h"

#include "CSRegex.h"

namespace calidra {

bool matchedByPattern(const QString& subject, const QString& pattern, qint32 options)
{
    return CSRegex::regexWithPattern(pattern, options | REG_NOSUB)->matchesString(subject);
}

TextRange rangeMatchedByPattern(const QString& subject, const QString& pattern, qint32 options)
{
    return CSRegex::regexWithPattern(pattern, options)->rangeOfMatchInString(subject);
}

std::optional<QString> substringMatchedByPattern(const QString& subject, const QString& pattern,
                                                 qint32 options)
{
    return CSRegex::regexWithPattern(pattern, options)->matchedSubstringOfString(subject);
}

QStringList componentsSeparatedByPattern(const QString& subject, const QString& pattern,
                                         qint32 options)
{
    return CSRegex::regexWithPattern(pattern, options)->splitString(subject);
}

QStringList allSubstringsMatchedByPattern(const QString& subject, const QString& pattern,
                                          qint32 options)
{
    return CSRegex::regexWithPattern(pattern, options)->allMatchedSubstringsOfString(subject);
}

std::optional<QStringList> substringsCapturedByPattern(const QString& subject,
                                                       const QString& pattern, qint32 options)
{
    return CSRegex::regexWithPattern(pattern, options)->capturedSubstringsOfString(subject);
}

} // namespace calidra
