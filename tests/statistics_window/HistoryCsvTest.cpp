// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics_window/HistoryCsv.h"

#include "QtPrinters.h"
#include "measurement/SampleHistory.h"

#include <QLocale>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace calidra {
namespace {

// 2025-03-30T00:59:58Z, two seconds before Central Europe moves its clocks on.
constexpr qint64 T0 = 1743296398000;

using Samples = std::optional<std::vector<std::pair<float, qint64>>>; // value, ms after T0

// Samples of the two readers as they come: on timers of their own, started
// apart, with misses, at intervals that differ only while one is re-timed.
TEST(HistoryCsvTest, SamplesOfOneMomentShareALineAndAMissingOneLeavesItsFieldEmpty)
{
    const struct
    {
        const char* name;
        Samples temperature, frequency;
        const char* rows; // after the header
    } cases[] = {
        {"NeitherReaderHasASample", Samples(std::in_place), Samples(std::in_place), ""},
        {"TemperatureAlone", Samples{{{48.25F, 0}, {49.0F, 2000}}}, std::nullopt,
         "2025-03-30T00:59:58.000+00:00,48.25,\n2025-03-30T01:00:00.000+00:00,49,\n"},
        {"FrequencyAlone", std::nullopt, Samples{{{2333.5F, 7}}},
         "2025-03-30T00:59:58.007+00:00,,2333.5\n"},
        {"SampledAMillisecondApartAtTheEarlierTime", Samples{{{50.125F, 1}, {51.0F, 2001}}},
         Samples{{{1200.0F, 0}, {3900.0F, 2002}}},
         "2025-03-30T00:59:58.000+00:00,50.125,1200\n2025-03-30T01:00:00.001+00:00,51,3900\n"},
        {"TemperatureMissedASample", Samples{{{50.0F, 0}, {52.0F, 4000}}},
         Samples{{{1200.0F, 3}, {1300.0F, 2003}, {1400.0F, 4003}}},
         "2025-03-30T00:59:58.000+00:00,50,1200\n2025-03-30T01:00:00.003+00:00,,1300\n"
         "2025-03-30T01:00:02.000+00:00,52,1400\n"},
        {"FrequencyStartedHalfAnIntervalLaterPairsNothing", Samples{{{50.0F, 0}, {51.0F, 2000}}},
         Samples{{{1200.0F, 1000}}},
         "2025-03-30T00:59:58.000+00:00,50,\n2025-03-30T00:59:59.000+00:00,,1200\n"
         "2025-03-30T01:00:00.000+00:00,51,\n"},
        {"ReadingsAsTheyAreWithoutRounding", Samples{{{0.1F, 0}, {199.999F, 2000}}},
         Samples{{{0.5F, 0}, {100000.0F, 2000}}},
         "2025-03-30T00:59:58.000+00:00,0.1,0.5\n2025-03-30T01:00:00.000+00:00,199.999,100000\n"},
    };
    const auto history = [](const Samples& samples) {
        std::optional<SampleHistory> made;
        if (samples) {
            made.emplace(2);
            for (const auto& [value, after] : *samples)
                made->push(value, T0 + after);
        }
        return made;
    };
    // Numbers are the C locale's whatever the user's: no decimal commas.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const auto& [name, temperature, frequency, rows] : cases) {
        const std::optional<SampleHistory> t = history(temperature), f = history(frequency);
        EXPECT_EQ(HistoryCsv::text(t ? &*t : nullptr, f ? &*f : nullptr, QTimeZone::utc()),
                  u"time,temperature_celsius,frequency_mhz\n"_qs + QString::fromLatin1(rows))
            << name;
    }
    QLocale::setDefault(before);
}

TEST(HistoryCsvTest, TimesAreLocalWithTheOffsetOfTheirOwnMoment)
{
    const QTimeZone berlin("Europe/Berlin");
    if (!berlin.isValid())
        GTEST_SKIP() << "no time zone database";
    const std::tuple<QTimeZone, qint64, const char*> rows[] = {
        {berlin, T0 + 1999, "2025-03-30T01:59:59.999+01:00"},
        {berlin, T0 + 2000, "2025-03-30T03:00:00.000+02:00"},
        {QTimeZone(-16200), T0, "2025-03-29T20:29:58.000-04:30"},
        {QTimeZone::utc(), 0, "1970-01-01T00:00:00.000+00:00"},
    };
    for (const auto& [zone, time, text] : rows)
        EXPECT_EQ(HistoryCsv::time(time, zone), QString::fromLatin1(text)) << zone.id().data();
}

} // namespace
} // namespace calidra
