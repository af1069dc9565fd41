#include "platform/Bundle.h"

#include "FixtureBundle.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <tuple>

namespace calidra {
namespace {

class BundleTest : public testing::Test
{
protected:
    BundleTest()
    {
        fixture.addResource(u"Table.plist"_qs, "x");
        fixture.tree.addFile(u"Calidra/Secret.plist"_qs, "x");
        fixture.tree.addFolder(u"Calidra/Resources/Folder.plist"_qs);
    }

    FixtureBundle fixture;
};

TEST_F(BundleTest, TheNewestBundleIsTheMainBundleUntilItGoes)
{
    EXPECT_EQ(Bundle::mainBundle(), &fixture.bundle);
    {
        const Bundle inner(u"/elsewhere"_qs);
        EXPECT_EQ(Bundle::mainBundle(), &inner);
        EXPECT_EQ(inner.resourcePath(), u"/elsewhere/Resources"_qs);
    }
    EXPECT_EQ(Bundle::mainBundle(), &fixture.bundle);
}

TEST_F(BundleTest, FindsAResourceFileByNameAndType)
{
    EXPECT_EQ(fixture.bundle.pathForResource(u"Table"_qs, u"plist"_qs),
              fixture.tree.absolute(u"Calidra/Resources/Table.plist"_qs));
}

TEST_F(BundleTest, NamesThatFindNoFileOrLeaveTheResourcesGiveNothing)
{
    for (const auto& [name, type] : {std::tuple{u"Missing"_qs, u"plist"_qs},
                                     {u"Table"_qs, u"txt"_qs},
                                     {u"Folder"_qs, u"plist"_qs},
                                     {u"../Secret"_qs, u"plist"_qs},
                                     {u"Table"_qs, u"plist/../../Secret.plist"_qs},
                                     {u"a/b"_qs, u"plist"_qs},
                                     {u""_qs, u"plist"_qs},
                                     {u"Table"_qs, u""_qs},
                                     {u"."_qs, u"plist"_qs},
                                     {u".."_qs, u"plist"_qs},
                                     {u"Table"_qs, u".."_qs},
                                     {u"Table\u0000x"_qs, u"plist"_qs}}) {
        EXPECT_FALSE(fixture.bundle.pathForResource(name, type))
            << name.toStdString() << '.' << type.toStdString();
    }
}

} // namespace
} // namespace calidra
