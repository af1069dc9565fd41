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
         {std::tuple<const char*, QByteArray, const char*, bool>{"Listed", Listed, "GenuineIntel",
                                                                 true},
          {"DiffersInCase", Listed, "genuineintel", false},
          {"Prefix", Listed, "Genuine", false},
          {"OnlyANumberMatches", Listed, "5", false},
          {"AbsentModel", Listed, nullptr, false},
          {"DictionaryRoot",
           FixtureBundle::xml("<dict><key>GenuineIntel</key><string>GenuineIntel</string></dict>"),
           "GenuineIntel", false},
          {"Garbage", QByteArray("GenuineIntel"), "GenuineIntel", false}}) {
        bundle.addResource(u"IntelModels.plist"_qs, list);
        EXPECT_EQ(IntelModels::isIntelModel(modelOf(model)), listed) << test;
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
