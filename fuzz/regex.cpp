// SPDX-License-Identifier: GPL-3.0-or-later
// The regular-expression class on hostile patterns and subjects. The first
// byte chooses the compile options, the pattern runs to the next zero byte and
// the subject is the rest. Besides crashes and hangs, it checks that the
// pieces and the matches always make up the subject again, which fails when a
// match splits a character, and that the first-match answers agree.

#include "text/CSRegex.h"
#include "text/CSRegexException.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

qint32 optionsOf(std::uint8_t byte)
{
    return (byte & 1 ? REG_ICASE : 0) | (byte & 2 ? REG_NEWLINE : 0) | (byte & 4 ? REG_NOSUB : 0);
}

void checkAnswers(const calidra::CSRegex& regex, const QString& subject, bool positions)
{
    const QStringList pieces = regex.splitString(subject);
    const QStringList matches = regex.allMatchedSubstringsOfString(subject);
    check(pieces.size() == matches.size() + 1);
    QString rebuilt = pieces.first();
    for (qsizetype i = 0; i < matches.size(); ++i) {
        rebuilt += matches[i] + pieces[i + 1];
    }
    check(rebuilt == subject);

    const calidra::TextRange range = regex.rangeOfMatchInString(subject);
    const std::optional<QString> matched = regex.matchedSubstringOfString(subject);
    const std::optional<QStringList> captured = regex.capturedSubstringsOfString(subject);
    check(range.isNotFound() == !matched && !matched == !captured);
    check(!positions || regex.matchesString(subject) == bool(matched));
    if (matched) {
        check(*matched == subject.mid(range.location, range.length));
        check(captured->first() == *matched);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    const qint32 options = optionsOf(data[0]);
    const QByteArrayView input(data + 1, qsizetype(size - 1));
    const qsizetype zero = input.indexOf('\0');
    const QString pattern = QString::fromUtf8(zero < 0 ? input : input.first(zero));
    const QString subject = zero < 0 ? QString() : QString::fromUtf8(input.sliced(zero + 1));
    try {
        const calidra::CSRegex regex(pattern, options);
        checkAnswers(regex, subject, (options & REG_NOSUB) == 0);
    } catch (const calidra::CSRegexException&) {
    }
    return 0;
}
