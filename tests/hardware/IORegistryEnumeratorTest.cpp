#include "hardware/IORegistryEnumerator.h"

#include "RegistryTestBase.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

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

    static QStringList paths(std::vector<std::unique_ptr<IORegistryEntry>> entries)
    {
        QStringList result;
        for (const auto& entry : entries) {
            result.append(entry->pathInPlane(u"IOService"_qs).value_or(u"?"_qs));
        }
        return result;
    }

    const QString plane = u"IOService"_qs;
};

TEST_F(IORegistryEnumeratorTest, ChildrenAreTheSubFoldersInOrderWithoutLinksOrFiles)
{
    const auto children = entry(u""_qs)->childEnumeratorOnPlane(plane);
    ASSERT_TRUE(children);
    EXPECT_EQ(paths(children->allObjects()),
              (QStringList{u"IOService:/a"_qs, u"IOService:/b"_qs, u"IOService:/c"_qs}));
    EXPECT_TRUE(children->isValid());
}

TEST_F(IORegistryEnumeratorTest, AllObjectsGivesTheRestAndResetStartsAgain)
{
    const auto children = entry(u""_qs)->childEnumeratorOnPlane(plane);
    ASSERT_TRUE(children->nextObject());
    ASSERT_TRUE(children->nextObject());
    EXPECT_EQ(paths(children->allObjects()), QStringList{u"IOService:/c"_qs});
    EXPECT_FALSE(children->nextObject());
    children->reset();
    EXPECT_EQ(children->allObjects().size(), 3u);
}

TEST_F(IORegistryEnumeratorTest, ParentsGoUpToThePlaneRootAndNoFurther)
{
    EXPECT_EQ(paths(entry(u"a/a1/a11"_qs)->parentEnumeratorOnPlane(plane)->allObjects()),
              QStringList{u"IOService:/a/a1"_qs});
    EXPECT_TRUE(entry(u""_qs)->parentEnumeratorOnPlane(plane)->allObjects().empty());

    const auto a11 = entry(u"a/a1/a11"_qs);
    const auto up = IORegistryEnumerator::initRootedOn(
        a11.get(), plane,
        IORegistryEnumerator::IterateParents | IORegistryEnumerator::IterateRecursively);
    EXPECT_EQ(paths(up->allObjects()),
              (QStringList{u"IOService:/a/a1"_qs, u"IOService:/a"_qs, u"IOService:/"_qs}));
}

TEST_F(IORegistryEnumeratorTest, RecursiveIterationIsDepthFirst)
{
    const auto root = entry(u""_qs);
    const auto all = IORegistryEnumerator::initRootedOn(root.get(), plane,
                                                        IORegistryEnumerator::IterateRecursively);
    EXPECT_EQ(paths(all->allObjects()),
              (QStringList{u"IOService:/a"_qs, u"IOService:/a/a1"_qs, u"IOService:/a/a1/a11"_qs,
                           u"IOService:/a/a2"_qs, u"IOService:/b"_qs, u"IOService:/c"_qs}));
}

TEST_F(IORegistryEnumeratorTest, EnterAndExitMoveBetweenLevels)
{
    const auto root = entry(u""_qs);
    const auto walk = IORegistryEnumerator::initRootedOn(root.get(), plane, 0);
    EXPECT_FALSE(walk->enterEntry()); // nothing handed out yet
    EXPECT_FALSE(walk->exitEntry());  // already at the first level
    ASSERT_EQ(walk->nextObject()->pathInPlane(plane), u"IOService:/a"_qs);
    ASSERT_TRUE(walk->enterEntry());
    EXPECT_EQ(paths(walk->allObjects()),
              (QStringList{u"IOService:/a/a1"_qs, u"IOService:/a/a2"_qs}));
    ASSERT_TRUE(walk->exitEntry());
    EXPECT_EQ(paths(walk->allObjects()), (QStringList{u"IOService:/b"_qs, u"IOService:/c"_qs}));
}

TEST_F(IORegistryEnumeratorTest, AbsentRootsPlanesLeavesAndTheEmptyEnumerator)
{
    const auto root = entry(u""_qs);
    EXPECT_FALSE(IORegistryEnumerator::initRootedOn(nullptr, plane, 0));
    EXPECT_FALSE(IORegistryEnumerator::initRootedOn(root.get(), QString(), 0));
    EXPECT_FALSE(IORegistryEnumerator::initWithKernelIterator(nullptr));
    EXPECT_FALSE(root->childEnumeratorOnPlane(u"IODeviceTree"_qs));
    EXPECT_FALSE(entry(u"b"_qs)->childEnumeratorOnPlane(plane)->nextObject());

    const auto empty = IORegistryEnumerator::initRootedOn(root.get(), u"IODeviceTree"_qs, 0);
    ASSERT_TRUE(empty);
    empty->reset();
    EXPECT_FALSE(empty->nextObject());
    EXPECT_TRUE(empty->allObjects().empty());
    EXPECT_FALSE(empty->isValid() || empty->enterEntry() || empty->exitEntry());
}

TEST_F(IORegistryEnumeratorTest, FoldersThatVanishArePassedOverAndInvalidate)
{
    const auto children = entry(u""_qs)->childEnumeratorOnPlane(plane);
    ASSERT_TRUE(children->nextObject());
    tree.remove(u"sys/devices/b"_qs);
    EXPECT_EQ(paths(children->allObjects()), QStringList{u"IOService:/c"_qs});
    EXPECT_FALSE(children->isValid());
    children->reset();
    EXPECT_TRUE(children->isValid());
    EXPECT_EQ(children->allObjects().size(), 2u);

    // An entry whose own folder is gone has no children and no properties.
    const auto c = entry(u"c"_qs);
    tree.remove(u"sys/devices/c"_qs);
    EXPECT_FALSE(c->childEnumeratorOnPlane(plane)->nextObject());
    EXPECT_FALSE(c->propertyForKey(u"anything"_qs).isValid());
}

} // namespace
} // namespace calidra
