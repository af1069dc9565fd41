#include "text/CSRegex.h"

#include "text/CSRegexException.h"
#include "text/StringRegex.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>

namespace calidra {
namespace {

// Spells a result out: each item in brackets, the null marker as "null".
QString spelled(const std::optional<QStringList>& list)
{
    if (!list) {
        return u"absent"_qs;
    }
    QString text;
    for (const QString& item : *list) {
        text += item.isNull() ? u"null"_qs : u'[' + item + u']';
    }
    return text;
}

TEST(CSRegex, AnUncompilablePatternRaisesWithTheMatchersMessage)
{
    const QString expected = u"Could not compile regex \"(\": Unmatched ( or \\("_qs;
    try {
        matchedByPattern(u"a"_qs, u"("_qs);
        FAIL() << "compiled";
    } catch (const CSRegexException& e) {
        EXPECT_EQ(e.name(), u"CSRegexException"_qs);
        EXPECT_EQ(e.reason(), expected);
        EXPECT_EQ(QString::fromUtf8(e.what()), expected);
    }
}

TEST(CSRegex, SuccessiveMatchesAndThePiecesBetweenThem)
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
    };
    for (const auto& [pattern, subject, matches, pieces] : rows) {
        SCOPED_TRACE(pattern.toStdString() + " on " + subject.toStdString());
        EXPECT_EQ(spelled(allSubstringsMatchedByPattern(subject, pattern)), matches);
        EXPECT_EQ(spelled(componentsSeparatedByPattern(subject, pattern)), pieces);
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

TEST(CSRegex, WithoutPositionsOnlyMatchingAnswers)
{
    const CSRegex regex(u"b"_qs, REG_NOSUB);
    EXPECT_TRUE(regex.matchesString(u"abc"_qs));
    EXPECT_TRUE(regex.rangeOfMatchInString(u"abc"_qs).isNotFound());
}

TEST(CSRegex, ManyMatchesOnALongSubjectTakeLinearTime)
{
    const QString subject = u"ab"_qs.repeated(50'000);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(allSubstringsMatchedByPattern(subject, u"a"_qs).size(), 50'000);
    EXPECT_EQ(componentsSeparatedByPattern(subject, u"x*"_qs).size(), 100'002);
#ifndef __SANITIZE_ADDRESS__
    // The address sanitizer's wrapper of the matcher measures every rest anew,
    // which makes its runs quadratic; the bound holds for the matcher itself.
    EXPECT_LT(timer.elapsed(), 2000);
#endif
}

} // namespace
} // namespace calidra
