// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Bundle.h"

#include "FixtureBundle.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

// Secret.plist lies beside the resource folder, reachable only through "/".
TEST(BundleTest, FindsOnlyRegularFilesInsideTheResourceFolder)
{
    FixtureBundle fixture;
    fixture.addResource(u"Table.plist"_qs, "x");
    fixture.addResource(u"Folder.plist/x"_qs, "x");
    fixture.tree.addFile(u"Calidra/Secret.plist"_qs, "x");
    EXPECT_EQ(fixture.bundle.pathForResource(u"Table"_qs, u"plist"_qs),
              fixture.tree.absolute(u"Calidra/Resources/Table.plist"_qs));
    for (const auto& [name, type] : {std::pair{u"Missing"_qs, u"plist"_qs},
                                     {u"Folder"_qs, u"plist"_qs},
                                     {u"../Secret"_qs, u"plist"_qs},
                                     {u"Folder"_qs, u"plist/../../Secret.plist"_qs},
                                     {u""_qs, u"plist"_qs},
                                     {u"/"_qs, u"plist"_qs},
                                     {u"."_qs, u"plist"_qs},
                                     {u".."_qs, u"plist"_qs},
                                     {u"Table.plist\u0000"_qs, u"plist"_qs}}) {
        EXPECT_FALSE(fixture.bundle.pathForResource(name, type))
            << name.toStdString() << '.' << type.toStdString();
    }
}

} // namespace
} // namespace calidra
