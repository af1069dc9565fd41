// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/KernelText.h"

#include "QtPrinters.h"
#include "hardware/FolderName.h"
#include "hardware/PlausibleTemperature.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace calidra {
namespace {

TEST(KernelText, EveryByteBecomesACharacterAndNoneIsLost)
{
    EXPECT_EQ(decodeKernelText("caf\xc3\xa9"), u"café"_qs);
    // Not UTF-8: each byte is one character, so nothing is replaced or dropped.
    EXPECT_EQ(decodeKernelText(QByteArrayView("a\xff\x80z", 4)), u"a\u00ff\u0080z"_qs);
    // The terminating zero byte of kernel text stays a character of its own.
    EXPECT_EQ(decodeKernelText(QByteArrayView("abcdef\0", 7)), u"abcdef\0"_qs);
    EXPECT_FALSE(decodeKernelText(QByteArrayView()).isNull());
}

TEST(FolderName, SplitsIntoNameAndLocation)
{
    // Folder, name, location ("-": none). A base must not be empty nor end in a digit.
    // clang-format off
    const char* const cases[][3] = {
        {"thermal_zone0", "thermal_zone", "0"}, {"coretemp.0", "coretemp", "0"}, {"cpu@1", "cpu", "1"},
        {"soc@fe000000", "soc", "fe000000"}, {"hwmon12", "hwmon", "12"}, {"platform", "platform", "-"},
        {"42", "42", "-"}, {"@3", "@", "3"}, {"1.0", "1.", "0"}, {"cpu@", "cpu@", "-"},
    };
    // clang-format on
    for (const auto& [folder, name, location] : cases) {
        const FolderName parsed = FolderName::parse(folder);
        EXPECT_EQ(parsed.name(), QString::fromUtf8(name)) << folder;
        EXPECT_EQ(parsed.location().value_or(u"-"_qs), QString::fromUtf8(location)) << folder;
    }
}

// Device-tree unit addresses are hexadecimal, even when made of digits only.
TEST(FolderNameOrder, ByNameThenLocationAsANumber)
{
    std::vector<QByteArray> folders{"thermal_zone10", "cooling_device1", "cpu@10", "thermal_zone2",
                                    "thermal_zone",   "cpu@1f",          "cpu@a",  "cpu@f"};
    FolderName::sort(folders);
    const std::vector<QByteArray> expected{"cooling_device1", "cpu@a",         "cpu@f",
                                           "cpu@10",          "cpu@1f",        "thermal_zone",
                                           "thermal_zone2",   "thermal_zone10"};
    EXPECT_EQ(folders, expected);
}

TEST(PlausibleTemperatureTest, OnlyTemperaturesAboveZeroUpTo200DegreesArePlausible)
{
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, bool> rows[] = {
        {0.001, true},     {45.5, true},         {200.0, true},
        {0.0, false},      {-0.0, false},        {-40.0, false},
        {200.001, false},  {2147483.647, false}, {3.4e38, false},
        {Infinity, false}, {-Infinity, false},   {std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const auto& [celsius, plausible] : rows) {
        EXPECT_EQ(PlausibleTemperature::contains(celsius), plausible) << celsius;
    }
}

} // namespace
} // namespace calidra
