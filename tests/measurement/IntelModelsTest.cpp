#include "measurement/IntelModels.h"

#include "GaugeTestBase.h"

#include <optional>

namespace calidra {
namespace {

const QByteArray Listed =
    FixtureBundle::xml("<array><string>GenuineIntel</string><integer>5</integer></array>");

class IntelModelsTest : public GaugeTestBase
{};

TEST_F(IntelModelsTest, AModelIsListedOnlyWhenAListedStringEqualsIt)
{
    for (const auto& [test, list, model, listed] :
         {std::tuple{"Listed", Listed, std::optional(u"GenuineIntel"_qs), true},
          {"DiffersInCase", Listed, std::optional(u"genuineintel"_qs), false},
          {"Prefix", Listed, std::optional(u"Genuine"_qs), false},
          {"OnlyANumberMatches", Listed, std::optional(u"5"_qs), false},
          {"AbsentModel", Listed, std::optional<QString>(), false},
          {"DictionaryRoot",
           FixtureBundle::xml("<dict><key>GenuineIntel</key><string>GenuineIntel</string></dict>"),
           std::optional(u"GenuineIntel"_qs), false},
          {"Garbage", QByteArray("GenuineIntel"), std::optional(u"GenuineIntel"_qs), false}}) {
        bundle.addResource(u"IntelModels.plist"_qs, list);
        EXPECT_EQ(IntelModels::isIntelModel(model), listed) << test;
    }
}

TEST_F(IntelModelsTest, TheListIsReadAfreshAtEachTest)
{
    const std::optional<QString> model = u"GenuineIntel"_qs;
    EXPECT_FALSE(IntelModels::isIntelModel(model));
    bundle.addResource(u"IntelModels.plist"_qs, Listed);
    EXPECT_TRUE(IntelModels::isIntelModel(model));
    bundle.tree.remove(u"Calidra/Resources/IntelModels.plist"_qs);
    EXPECT_FALSE(IntelModels::isIntelModel(model));
}

TEST(IntelModelsWithoutBundleTest, NoModelIsListed)
{
    ASSERT_FALSE(Bundle::mainBundle());
    EXPECT_FALSE(IntelModels::isIntelModel(u"GenuineIntel"_qs));
}

} // namespace
} // namespace calidra
