// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/IntelModels.h"

#include "FixtureBundle.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace calidra {
namespace {

TEST(IntelModelsTest, AModelIsListedOnlyWhenAListedStringEqualsIt)
{
    ASSERT_FALSE(Bundle::mainBundle());
    EXPECT_FALSE(IntelModels::isIntelModel(u"GenuineIntel"_qs)) << "no bundle";
    FixtureBundle bundle;
    EXPECT_FALSE(IntelModels::isIntelModel(u"GenuineIntel"_qs)) << "no list";
    const QByteArray listed =
        FixtureBundle::xml("<array><string>GenuineIntel</string><integer>5</integer></array>");
    for (const auto& [test, list, model, expected] :
         {std::tuple<const char*, QByteArray, std::optional<QString>, bool>{
              "Listed", listed, u"GenuineIntel"_qs, true},
          {"Unlisted", listed, u"Genuine"_qs, false},
          {"DiffersInCase", listed, u"genuineintel"_qs, false},
          {"OnlyANumberMatches", listed, u"5"_qs, false},
          {"AbsentModel", listed, std::nullopt, false},
          {"DictionaryRoot",
           FixtureBundle::xml("<dict><key>GenuineIntel</key><string>GenuineIntel</string></dict>"),
           u"GenuineIntel"_qs, false}}) {
        bundle.addResource(u"IntelModels.plist"_qs, list);
        EXPECT_EQ(IntelModels::isIntelModel(model), expected) << test;
    }
}

} // namespace
} // namespace calidra
