// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/FolderName.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

TEST(FolderName, SplitsIntoNameAndLocation)
{
    // Folder, name, location ("-": none). A base must not be empty nor end in a digit.
    const char* const cases[][3] = {
        {"thermal_zone0", "thermal_zone", "0"},
        {"coretemp.0", "coretemp", "0"},
        {"cpu@1", "cpu", "1"},
        {"soc@fe000000", "soc", "fe000000"},
        {"hwmon12", "hwmon", "12"},
        {"platform", "platform", "-"},
        {"42", "42", "-"},
        {"@3", "@", "3"},
        {"1.0", "1.", "0"},
        {"cpu@", "cpu@", "-"},
    };
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

} // namespace
} // namespace calidra
