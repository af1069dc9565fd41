// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtPrinters.h"
#include "defaults/UserDefaults.h"
#include "formatting/CFormat.h"
#include "formatting/FrequencyValueTransformer.h"
#include "formatting/MenuIntervalValueTransformer.h"
#include "formatting/ObjectFormat.h"
#include "formatting/TemperatureValueTransformer.h"
#include "formatting/TimeIntervalValueTransformer.h"

#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <tuple>

namespace calidra {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// Every case runs under a German locale unless it names another, so that a
// locale's decimal comma or digits in the output would show.
struct FormattingTest : ::testing::Test
{
    FormattingTest() { QLocale::setDefault(QLocale(u"de_DE"_qs)); }
    ~FormattingTest() override { QLocale::setDefault(m_locale); }
    const QLocale m_locale; // the default before the test
};

TEST_F(FormattingTest, TemperatureShowsTheUnitOfTheSettingOrElseOfTheLocale)
{
    QTemporaryDir dir;
    std::optional<UserDefaults> defaults;
    // Name, precision, the stored unit (none: no defaults store at all), locale, input, output.
    using Case =
        std::tuple<const char*, int, std::optional<qint64>, const char*, QVariant, QString>;
    // clang-format off
    const Case cases[] = {
        {"rounds up", 0, 1, "de_DE", 52.6, u"53℃"_qs},
        {"two decimals Fahrenheit", 2, 2, "de_DE", 48.5, u"119.30℉"_qs},
        // Exact binary ties round to even, as the C library does.
        {"half to even below", 0, 1, "de_DE", 48.5, u"48℃"_qs},
        {"half of a hundredth", 2, 1, "de_DE", 0.125, u"0.12℃"_qs},
        {"metric locale", 0, 0, "de_DE", 50, u"50℃"_qs},
        {"US locale", 0, 0, "en_US", 50, u"122℉"_qs},
        {"UK locale", 0, 0, "en_GB", 50, u"50℃"_qs},
        {"unknown unit", 0, 7, "en_US", 50, u"122℉"_qs},
        {"Celsius in US locale", 0, 1, "en_US", 50, u"50℃"_qs},
        {"no store", 0, std::nullopt, "en_US", 50, u"122℉"_qs},
        {"negative precision", -1, 1, "de_DE", 52.4, u"52℃"_qs},
        {"huge precision", 1000, 1, "de_DE", 0.5, u"0.500000000℃"_qs},
        {"not a number", 1, 2, "de_DE", nan, u"nan℉"_qs},
        {"no input", 0, 1, "de_DE", QVariant(), u""_qs},
    };
    // clang-format on
    for (const auto& [name, precision, displayUnit, locale, input, output] : cases) {
        const TemperatureValueTransformer transformer(precision); // before the setting changes
        QLocale::setDefault(QLocale(QString::fromUtf8(locale)));
        defaults.reset();
        if (displayUnit) {
            defaults.emplace(dir.filePath(u"Calidra.ini"_qs));
            defaults->setInteger(*displayUnit, u"displayUnit"_qs);
        }
        EXPECT_EQ(transformer.transformedValue(input), output) << name;
    }
}

// Frequencies turn to gigahertz from a thousand megahertz, before rounding; time
// intervals spell out every non-zero unit of the truncated seconds.
TEST_F(FormattingTest, FrequencyTimeIntervalAndMenuIntervalTexts)
{
    const FrequencyValueTransformer frequency;
    const TimeIntervalValueTransformer time;
    const MenuIntervalValueTransformer menu;
    // clang-format off
    const std::tuple<const char*, const ValueTransformer*, QVariant, QString> cases[] = {
        {"gigahertz", &frequency, 2666, u"2.67 GHz"_qs},
        {"threshold", &frequency, 1000, u"1.00 GHz"_qs},
        {"megahertz", &frequency, 999, u"999.00 MHz"_qs},
        {"rounds up to the threshold", &frequency, 999.999, u"1000.00 MHz"_qs},
        {"not a number", &frequency, nan, u"nan MHz"_qs},
        {"no input", &frequency, QVariant(), u""_qs},
        {"no input", &time, QVariant(), u""_qs},
        {"zero", &time, 0, u"0 seconds"_qs},
        {"fraction", &time, 59.9, u"59 seconds"_qs},
        {"one day", &time, 90061, u"1 day, 1 hour, 1 minute, 1 second"_qs},
        {"gap", &time, 1213200, u"2 weeks, 1 hour"_qs},
        {"every unit", &time, 1299661, u"2 weeks, 1 day, 1 hour, 1 minute, 1 second"_qs},
        {"negative", &time, -61, u"-1 minutes, -1 seconds"_qs},
        {"beyond 32 bits", &time, 1e12, u"3550 weeks, 5 days, 3 hours, 14 minutes, 7 seconds"_qs},
        {"infinite", &time, -inf, u"-3550 weeks, -5 days, -3 hours, -14 minutes, -8 seconds"_qs},
        {"not a number", &time, nan, u"0 seconds"_qs},
        {"no input", &menu, QVariant(), u""_qs},
        {"whole", &menu, 5, u"Updating every 5.0 seconds"_qs},
        {"half to even", &menu, 0.25, u"Updating every 0.2 seconds"_qs},
        {"not a number", &menu, nan, u"Updating every nan seconds"_qs},
    };
    // clang-format on
    for (const auto& [name, transformer, input, output] : cases)
        EXPECT_EQ(transformer->transformedValue(input), output) << name;
}

// The process's own C locale may use a decimal comma (the application sets it from the
// environment); numbers still show with "." and the locale is left as it was.
TEST_F(FormattingTest, NumbersIgnoreTheProcessLocaleAndLeaveItAsItWas)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
        if (comma == nullptr && std::setlocale(LC_NUMERIC, name) != nullptr)
            comma = name;
    }
    if (comma == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_EQ(TemperatureValueTransformer(2).transformedValue(48.5), u"48.50℃"_qs);
    EXPECT_EQ(FrequencyValueTransformer().transformedValue(2666), u"2.67 GHz"_qs);
    EXPECT_EQ(MenuIntervalValueTransformer().transformedValue(0.5),
              u"Updating every 0.5 seconds"_qs);
    char own[8];
    std::snprintf(own, sizeof own, "%1.1f", 0.5);
    EXPECT_STREQ(own, "0,5") << comma;
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST(FormatTest, LongResultsAndUtf8TextComeOutWholeAndEachPlaceholderIsFilledOnce)
{
    EXPECT_EQ(cFormat("%300.1f|", 0.25), QString(297, u' ') + u"0.2|"_qs);
    EXPECT_EQ(cFormat("%s", "Grüße"), u"Grüße"_qs);
    const std::tuple<QString, QStringList, QString> cases[] = {
        {u"%@ and %@"_qs, {u"a"_qs, u"b"_qs}, u"a and b"_qs},
        {u"%@ %%@"_qs, {u"%@"_qs}, u"%@ %@"_qs},
        {u"%@|%@"_qs, {u"only"_qs}, u"only|"_qs},
        {u"100%%"_qs, {}, u"100%"_qs},
    };
    for (const auto& [format, arguments, expected] : cases)
        EXPECT_EQ(stringWithFormat(format, arguments), expected) << format.toStdString();
}

} // namespace
} // namespace calidra
