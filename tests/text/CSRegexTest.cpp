// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/CSRegex.h"

#include "text/CSRegexException.h"
#include "text/CocoaCryptoHashing.h"
#include "text/StringRegex.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

namespace calidra {
namespace {

// Spells a result out: each item in brackets, the null marker as "null".
QString spelled(const std::optional<QStringList>& list)
{
    if (!list)
        return u"absent"_qs;
    QString text;
    for (const QString& item : *list)
        text += item.isNull() ? u"null"_qs : u'[' + item + u']';
    return text;
}

// A process started without LANG runs in the C locale, where the matcher would
// take each byte of "é" for a character of its own: each row holds in both.
TEST(CSRegex, SuccessiveMatchesAndThePiecesBetweenThemInEveryLocale)
{
    // Pattern, subject, the matches and the pieces between them.
    const QString rows[][4] = {
        {u"a"_qs, u"banana"_qs, u"[a][a][a]"_qs, u"[b][n][n][]"_qs},
        {u"x"_qs, u"abc"_qs, u""_qs, u"[abc]"_qs},
        {u"x"_qs, u""_qs, u""_qs, u"[]"_qs},
        {u"b"_qs, u"bab"_qs, u"[b][b]"_qs, u"[][a][]"_qs},
        {u"^a"_qs, u"aaa"_qs, u"[a][a][a]"_qs, u"[][][][]"_qs}, // every rest is a subject
        {u"x*"_qs, u"abc"_qs, u"[][][][]"_qs, u"[][a][b][c][]"_qs},
        {u"x*"_qs, u"é😀"_qs, u"[][][]"_qs, u"[][é][😀][]"_qs},        // whole sequences
        {u"a"_qs, u"ba\u0000ba"_qs, u"[a]"_qs, u"[b][\u0000ba]"_qs}, // the search ends at U+0000
        {u"."_qs, u"aé😀"_qs, u"[a][é][😀]"_qs, u"[][][][]"_qs},
        {u"[éa]"_qs, u"é"_qs, u"[é]"_qs, u"[][]"_qs},
        {u"^.$"_qs, u"é"_qs, u"[é]"_qs, u"[][]"_qs},
        {u"[^x]"_qs, u"xéx"_qs, u"[é]"_qs, u"[x][x]"_qs},
    };
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    for (const std::string& locale : {std::string("C"), previous}) {
        ASSERT_TRUE(std::setlocale(LC_CTYPE, locale.c_str()));
        for (const auto& [pattern, subject, matches, pieces] : rows) {
            SCOPED_TRACE(locale + ": " + pattern.toStdString() + " on " + subject.toStdString());
            EXPECT_EQ(spelled(allSubstringsMatchedByPattern(subject, pattern)), matches);
            EXPECT_EQ(spelled(componentsSeparatedByPattern(subject, pattern)), pieces);
        }
        EXPECT_TRUE(matchedByPattern(u"é"_qs, u"É"_qs, REG_ICASE));
        EXPECT_EQ(uselocale(locale_t(nullptr)), LC_GLOBAL_LOCALE); // the thread's locale is back
    }
}

TEST(CSRegex, FirstMatchInUtf16PositionsWithItsGroups)
{
    // Pattern, subject, the range of the first match, the match and its groups.
    const std::tuple<QString, QString, quint32, quint32, QString, QString> rows[] = {
        {u"x"_qs, u"abc"_qs, TextRange::NotFound, 0, u"absent"_qs, u""_qs},
        {u"(x)?y"_qs, u"y"_qs, 0, 1, u"[y]"_qs, u"null"_qs},
        {u"()y"_qs, u"y"_qs, 0, 1, u"[y]"_qs, u"[]"_qs},
        {u"(é)(😀)"_qs, u"a😀é😀!"_qs, 3, 3, u"[é😀]"_qs, u"[é][😀]"_qs},
        {u"x*"_qs, u"abc"_qs, 0, 0, u"[]"_qs, u""_qs},
    };
    for (const auto& [pattern, subject, location, length, match, groups] : rows) {
        SCOPED_TRACE(pattern.toStdString() + " on " + subject.toStdString());
        const TextRange range = rangeMatchedByPattern(subject, pattern);
        EXPECT_EQ(std::pair(range.location, range.length), std::pair(location, length));
        EXPECT_EQ(matchedByPattern(subject, pattern), match != u"absent"_qs);
        const std::optional<QString> matched = substringMatchedByPattern(subject, pattern);
        EXPECT_EQ(spelled(matched ? std::optional(QStringList{*matched}) : std::nullopt), match);
        EXPECT_EQ(spelled(substringsCapturedByPattern(subject, pattern)), match + groups);
    }
}

// The matcher copies a repetition's operand once per count, so nested ones
// multiply, and its building time grows faster than linearly in groups and
// operators, exponentially when an operand that matches the empty string is
// copied or repeated twice. Such patterns never reach it.
TEST(CSRegex, PatternsThatWouldExpandTooFarAreRefused)
{
    const QString big = u"Regular expression too big"_qs;
    const QString bad = u"Invalid preceding regular expression"_qs;
    // The matcher's message for each pattern; none for those it builds.
    // clang-format off
    const std::pair<QString, QStringList> rows[] = {
        {{}, {u"(((((((a+)+)+)+)+)+)+)"_qs /* 381 nodes */, u"a{10}{10}"_qs, u"a{500}"_qs, u"a{499,}"_qs,
              u"(ab){167}"_qs, u"(a*)*"_qs.repeated(166), u"("_qs.repeated(500) + u"a"_qs + u")"_qs.repeated(500),
              u"x"_qs.repeated(5000), u"a**"_qs, u"(|a)*"_qs, u"(x*)?"_qs, u"(a?b?)*"_qs,
              // Brackets and escapes repeat nothing.
              u"a{0,400}[{400}]"_qs, u"a{0,400}[]{400}]"_qs, u"a{0,400}[^]{400}]"_qs,
              u"a{0,400}[[:alpha:]{400}]"_qs, u"a{0,400}[[.].]{400}]"_qs, u"a{0,400}\\{400}"_qs,
              u"(a?)\\{2}{2}"_qs}},
        {big, {u"((a{0,255}){0,255}){0,255}"_qs, u"(((.{1,100}){1,100}){1,100})"_qs,
               u"((((((((a+)+)+)+)+)+)+)+)"_qs /* 765 nodes */, u"a{10}{10}{10}"_qs,
               u"a{0,200}b{0,200}c{0,200}"_qs /* siblings add up */, u"a{501}"_qs, u"a{500,}"_qs,
               u"(ab){168}"_qs, u"(a*)*"_qs.repeated(167),
               u"("_qs.repeated(501) + u"a"_qs + u")"_qs.repeated(501), u"a{0,400}b{400}"_qs}},
        {u"Unmatched ( or \\("_qs, {u"("_qs}},
        // Copies of an operand that can match the empty string, or one that
        // matches it in two ways (a** does) repeated again.
        {bad, {u"a***"_qs, u"(a?\?){40,}"_qs, u"(a?|b?){40,}"_qs, u"((a*)?){40,}"_qs, u"(|a|)*"_qs,
               u"(^|$)?"_qs, u"(a?b?){40,}"_qs, u"(a?b?)+"_qs, u"^(){3,}{3,}{3,}"_qs, u"(\\b){3,}"_qs,
               u"(x*)?*"_qs}},
    };
    // clang-format on
    for (const auto& [message, patterns] : rows) {
        for (const QString& pattern : patterns) {
            SCOPED_TRACE(pattern.left(40).toStdString());
            try {
                CSRegex regex(pattern);
                EXPECT_TRUE(message.isNull());
            } catch (const CSRegexException& e) {
                EXPECT_EQ(QString::fromUtf8(e.what()),
                          u"Could not compile regex \""_qs + pattern + u"\": "_qs + message);
            }
        }
    }
}

using Hashing = CocoaCryptoHashing;

TEST(CocoaCryptoHashing, KnownDigestsOfBytesAndOfTheSameTextAndNoneOfAbsentOrBrokenText)
{
    // clang-format off
    const struct { QByteArray input; QString md5, sha1; } cases[] = {
        {QByteArray(""), u"d41d8cd98f00b204e9800998ecf8427e"_qs, u"da39a3ee5e6b4b0d3255bfef95601890afd80709"_qs},
        {QByteArray("abc"), u"900150983cd24fb0d6963f7d28e17f72"_qs, u"a9993e364706816aba3e25717850c26c9cd0d89d"_qs},
        {QByteArray("a\0b", 3), u"70350f6027bce3713f6b76473084309b"_qs, u"4a3dec2d1f8245280855c42db0ee4239f917fdb8"_qs},
        {QByteArray("caf\xc3\xa9 \xf0\x9f\x98\x80"), u"77363a4752ff4d95e47ec96c6b215330"_qs,
         u"ab8e85e7526cb2649cf26ad178ce0cc491b70da7"_qs},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.toHex().toStdString());
        EXPECT_EQ(Hashing::md5HexHash(c.input), c.md5);
        EXPECT_EQ(Hashing::sha1HexHash(c.input), c.sha1);
        EXPECT_EQ(Hashing::md5Hash(c.input), QByteArray::fromHex(c.md5.toLatin1()));
        EXPECT_EQ(Hashing::sha1Hash(c.input), QByteArray::fromHex(c.sha1.toLatin1()));
        EXPECT_EQ(Hashing::md5HexHash(QString::fromUtf8(c.input)), c.md5);
        EXPECT_EQ(Hashing::sha1Hash(QString::fromUtf8(c.input)), Hashing::sha1Hash(c.input));
    }
    const std::optional<QByteArray> absent;
    EXPECT_FALSE(Hashing::md5Hash(absent) || Hashing::md5HexHash(absent) ||
                 Hashing::sha1Hash(absent) || Hashing::sha1HexHash(absent));
    const QChar high(0xd800), low(0xdc00); // lone surrogates
    for (const QString& text : {u"a"_qs + high + u"b"_qs, u"a"_qs + high, low + u"a"_qs}) {
        EXPECT_FALSE(Hashing::md5Hash(text) || Hashing::md5HexHash(text) ||
                     Hashing::sha1Hash(text) || Hashing::sha1HexHash(text));
    }
}

} // namespace
} // namespace calidra
