#include "hardware/FolderName.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

struct NameCase
{
    const char* folder;
    const char16_t* name;
    const char16_t* location; // nullptr: no location
};

class FolderNameRule : public testing::TestWithParam<NameCase>
{};

TEST_P(FolderNameRule, SplitsIntoNameAndLocation)
{
    const NameCase& c = GetParam();
    const FolderName parsed = FolderName::parse(c.folder);
    EXPECT_EQ(parsed.name(), QString::fromUtf16(c.name));
    if (c.location) {
        EXPECT_EQ(parsed.location(), QString::fromUtf16(c.location));
    } else {
        EXPECT_FALSE(parsed.location().has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, FolderNameRule,
                         testing::Values(NameCase{"thermal_zone0", u"thermal_zone", u"0"},
                                         NameCase{"coretemp.0", u"coretemp", u"0"},
                                         NameCase{"cpu@1", u"cpu", u"1"},
                                         NameCase{"hwmon12", u"hwmon", u"12"},
                                         NameCase{"soc@fe000000", u"soc", u"fe000000"},
                                         NameCase{"platform", u"platform", nullptr},
                                         // A base must not be empty nor end in a digit.
                                         NameCase{"42", u"42", nullptr}, NameCase{"@3", u"@", u"3"},
                                         NameCase{"1.0", u"1.", u"0"},
                                         NameCase{"cpu@", u"cpu@", nullptr},
                                         NameCase{"trailing.", u"trailing.", nullptr}));

TEST(FolderNameOrder, ByNameThenLocationAsANumber)
{
    std::vector<QByteArray> folders{"thermal_zone10", "cooling_device1", "thermal_zone2",
                                    "thermal_zone",   "cpu@1f",          "cpu@a"};
    FolderName::sort(folders);
    const std::vector<QByteArray> expected{"cooling_device1", "cpu@a",         "cpu@1f",
                                           "thermal_zone",    "thermal_zone2", "thermal_zone10"};
    EXPECT_EQ(folders, expected);
}

} // namespace
} // namespace calidra
