#include "text/CSRegex.h"

#include "text/CSRegexException.h"
#include "text/StringRegex.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace calidra {
namespace {

using Strings = std::vector<std::string>;

// Spells a result out, telling the null marker from an empty match.
std::optional<Strings> spelled(const std::optional<QStringList>& list)
{
    if (!list) {
        return std::nullopt;
    }
    Strings out;
    for (const QString& item : *list) {
        out.push_back(item.isNull() ? "<null>" : item.toStdString());
    }
    return out;
}

const QString E = u""_qs;

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
    const struct
    {
        const char* name;
        QString pattern, subject;
        QStringList matches, pieces;
    } cases[] = {
        {"banana",
         u"a"_qs,
         u"banana"_qs,
         {u"a"_qs, u"a"_qs, u"a"_qs},
         {u"b"_qs, u"n"_qs, u"n"_qs, E}},
        {"no match", u"x"_qs, u"abc"_qs, {}, {u"abc"_qs}},
        {"empty subject", u"x"_qs, E, {}, {E}},
        {"leading match", u"b"_qs, u"bab"_qs, {u"b"_qs, u"b"_qs}, {E, u"a"_qs, E}},
        {"anchor at every rest", u"^a"_qs, u"aaa"_qs, {u"a"_qs, u"a"_qs, u"a"_qs}, {E, E, E, E}},
        {"empty matches", u"x*"_qs, u"abc"_qs, {E, E, E, E}, {E, u"a"_qs, u"b"_qs, u"c"_qs, E}},
        {"empty after match", u"x*"_qs, u"axb"_qs, {E, u"x"_qs, E, E}, {E, u"a"_qs, E, u"b"_qs, E}},
        {"whole sequences", u"x*"_qs, u"é😀"_qs, {E, E, E}, {E, u"é"_qs, u"😀"_qs, E}},
        {"zero character",
         u"a"_qs,
         u"ba"_qs + QChar(0) + u"ba"_qs,
         {u"a"_qs},
         {u"b"_qs, QChar(0) + u"ba"_qs}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(spelled(allSubstringsMatchedByPattern(c.subject, c.pattern)), spelled(c.matches));
        EXPECT_EQ(spelled(componentsSeparatedByPattern(c.subject, c.pattern)), spelled(c.pieces));
    }
}

TEST(CSRegex, FirstMatchInCharacterPositionsWithItsGroups)
{
    const QString null = CSRegex::null();
    const struct
    {
        QString pattern, subject;
        qint32 options;
        TextRange range;
        std::optional<QStringList> captured;
    } cases[] = {
        {u"x"_qs, u"abc"_qs, 0, {2147483647, 0}, std::nullopt},
        {u"(x)?y"_qs, u"y"_qs, 0, {0, 1}, QStringList{u"y"_qs, null}},
        {u"(x)?y"_qs, u"xy"_qs, 0, {0, 2}, QStringList{u"xy"_qs, u"x"_qs}},
        {u"()y"_qs, u"y"_qs, 0, {0, 1}, QStringList{u"y"_qs, E}},
        {u"(é)(😀)"_qs, u"a😀é😀!"_qs, 0, {3, 3}, QStringList{u"é😀"_qs, u"é"_qs, u"😀"_qs}},
        {u"B"_qs, u"😀abc"_qs, REG_ICASE, {3, 1}, QStringList{u"b"_qs}},
        {u"x*"_qs, u"abc"_qs, 0, {0, 0}, QStringList{E}},
        {u"a"_qs, QChar(0) + u"a"_qs, 0, {2147483647, 0}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern.toStdString() + " on " + c.subject.toStdString());
        const TextRange range = rangeMatchedByPattern(c.subject, c.pattern, c.options);
        EXPECT_EQ(std::pair(range.location, range.length),
                  std::pair(c.range.location, c.range.length));
        EXPECT_EQ(matchedByPattern(c.subject, c.pattern, c.options), c.captured.has_value());
        const std::optional<QString> matched =
            substringMatchedByPattern(c.subject, c.pattern, c.options);
        EXPECT_EQ(spelled(matched ? std::optional(QStringList{*matched}) : std::nullopt),
                  spelled(c.captured ? std::optional(c.captured->mid(0, 1)) : std::nullopt));
        EXPECT_EQ(spelled(substringsCapturedByPattern(c.subject, c.pattern, c.options)),
                  spelled(c.captured));
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
