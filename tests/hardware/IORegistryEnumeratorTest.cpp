// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/IORegistryEnumerator.h"

#include "RegistryTestBase.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

constexpr quint32 Parents = IORegistryEnumerator::IterateParents;
constexpr quint32 Recursively = IORegistryEnumerator::IterateRecursively;

class IORegistryEnumeratorTest : public RegistryTestBase
{
protected:
    IORegistryEnumeratorTest()
    {
        for (const QString& folder : {u"a/a1/a11"_qs, u"a/a2"_qs, u"b"_qs, u"c"_qs}) {
            tree.addFolder(u"sys/devices/"_qs + folder);
        }
        tree.addFile(u"sys/devices/file"_qs, "not a child\n");
        tree.addSymlink(u"sys/devices/link"_qs, tree.absolute(u"sys/devices/a"_qs));
    }

    // The paths in the plane of the entries still to come, without "IOService:".
    static QString rest(IORegistryEnumerator& enumerator)
    {
        QStringList paths;
        for (const auto& entry : enumerator.allObjects()) {
            paths.append(entry->pathInPlane(u"IOService"_qs).value_or(u"?"_qs).mid(10));
        }
        return paths.join(u' ');
    }

    const QString plane = u"IOService"_qs;
};

TEST_F(IORegistryEnumeratorTest, ChildrenComeInOrderAndEnterExitAndResetMoveTheWalk)
{
    const auto walk = entry(u""_qs)->childEnumeratorOnPlane(plane);
    EXPECT_FALSE(walk->enterEntry()); // nothing handed out yet
    EXPECT_FALSE(walk->exitEntry());  // already at the first level
    ASSERT_EQ(walk->nextObject()->pathInPlane(plane), u"IOService:/a"_qs);
    ASSERT_TRUE(walk->enterEntry());
    EXPECT_EQ(rest(*walk), u"/a/a1 /a/a2"_qs);
    ASSERT_TRUE(walk->exitEntry());
    EXPECT_EQ(rest(*walk), u"/b /c"_qs);
    walk->reset();
    EXPECT_EQ(rest(*walk), u"/a /b /c"_qs); // sub-folders only: no link, no file
}

TEST_F(IORegistryEnumeratorTest, RecursionIsDepthFirstAndParentsGoUpToThePlaneRootAndNoFurther)
{
    EXPECT_EQ(rest(*IORegistryEnumerator::initRootedOn(entry(u""_qs).get(), plane, Recursively)),
              u"/a /a/a1 /a/a1/a11 /a/a2 /b /c"_qs);
    EXPECT_EQ(rest(*entry(u"a/a1/a11"_qs)->parentEnumeratorOnPlane(plane)), u"/a/a1"_qs);
    EXPECT_EQ(rest(*IORegistryEnumerator::initRootedOn(entry(u"a/a1/a11"_qs).get(), plane,
                                                       Parents | Recursively)),
              u"/a/a1 /a /"_qs);
}

TEST_F(IORegistryEnumeratorTest, AbsentRootsPlanesLeavesAndTheEmptyEnumerator)
{
    const auto root = entry(u""_qs);
    EXPECT_FALSE(IORegistryEnumerator::initRootedOn(nullptr, plane, 0) ||
                 IORegistryEnumerator::initRootedOn(root.get(), QString(), 0) ||
                 IORegistryEnumerator::initWithKernelIterator(nullptr) ||
                 root->childEnumeratorOnPlane(u"IODeviceTree"_qs) ||
                 entry(u"b"_qs)->childEnumeratorOnPlane(plane)->nextObject());
    const auto empty = IORegistryEnumerator::initRootedOn(root.get(), u"IODeviceTree"_qs, 0);
    ASSERT_TRUE(empty);
    empty->reset();
    EXPECT_FALSE(empty->nextObject() || empty->isValid() || empty->enterEntry() ||
                 empty->exitEntry());
}

TEST_F(IORegistryEnumeratorTest, FoldersThatVanishArePassedOverAndInvalidateUntilReset)
{
    const auto children = entry(u""_qs)->childEnumeratorOnPlane(plane);
    const auto c = entry(u"c"_qs);
    tree.remove(u"sys/devices/b"_qs);
    EXPECT_EQ(rest(*children), u"/a /c"_qs);
    EXPECT_FALSE(children->isValid());
    children->reset();
    EXPECT_TRUE(children->isValid());
    tree.remove(u"sys/devices/c"_qs);
    EXPECT_FALSE(c->childEnumeratorOnPlane(plane)->nextObject()); // its own folder is gone
    EXPECT_EQ(rest(*children), u"/a"_qs);
}

} // namespace
} // namespace calidra
