// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegistryTestBase.h"
#include "hardware/IORegistryEnumerator.h"
#include "hardware/MachineModel.h"
#include "hardware/SysfsFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <tuple>

namespace calidra {
namespace {

using IORegistryEntryTest = RegistryTestBase;

TEST_F(IORegistryEntryTest, RegistryPathsNameEntriesInThePlaneAndNothingElse)
{
    tree.addFolder(u"sys/devices/platform/coretemp.0/hwmon/hwmon3"_qs);
    tree.addFile(u"sys/devices/platform/uevent"_qs, "x\n");
    tree.addSymlink(u"sys/devices/link"_qs, tree.absolute(u"sys/devices/platform"_qs));
    EXPECT_EQ(IORegistryEntry::rootEntry()->pathInPlane(u"IOService"_qs), u"IOService:/"_qs);
    const QString path = u"IOService:/platform/coretemp.0/hwmon/hwmon3"_qs;
    const auto sensor = IORegistryEntry::entryFromPath(path);
    ASSERT_TRUE(sensor);
    EXPECT_EQ(sensor->nameInPlane(u"IOService"_qs), u"hwmon"_qs);
    EXPECT_EQ(sensor->locationInPlane(u"IOService"_qs), u"3"_qs);
    EXPECT_EQ(sensor->pathInPlane(u"IOService"_qs), path);
    EXPECT_FALSE(sensor->nameInPlane(u"IODeviceTree"_qs) ||
                 sensor->pathInPlane(u"IODeviceTree"_qs));
    EXPECT_FALSE(entry(u"platform/coretemp.0/hwmon"_qs)->locationInPlane(u"IOService"_qs));
    for (const QString& refused :
         {u"IOService:/missing"_qs, u"IOService:/platform/uevent"_qs, u"IOService:/link"_qs,
          u"IOService:/.."_qs, u"IOService:/./platform"_qs, u"IOService"_qs, u"NoSuchPlane:/"_qs,
          u"IOService:/platform\u0000x"_qs}) {
        EXPECT_FALSE(IORegistryEntry::entryFromPath(refused)) << refused.toStdString();
    }
    {
        const IORegistry missing(tree.absolute(u"no-such-root"_qs));
        EXPECT_FALSE(IORegistryEntry::rootEntry() || IORegistryEntry::machineModel());
    }
    EXPECT_EQ(IORegistry::masterPort(), &registry);
}

TEST_F(IORegistryEntryTest, PropertiesAreTypedByWhatTheFileHoldsAndDeviceTreeOnesAreBytes)
{
    // clang-format off
    const std::pair<QByteArray, QVariant> rows[] = {
        {"45000\n", qlonglong(45000)}, {"-12", qlonglong(-12)}, {"cpu-thermal\n", u"cpu-thermal"_qs},
        {"5\n\n", u"5\n"_qs}, {"", u""_qs}, {QByteArray("\x01\xff\x00z", 4), QByteArray("\x01\xff\x00z", 4)},
        {"123456789012345678901234567890\n", u"123456789012345678901234567890"_qs}};
    // clang-format on
    for (const auto& [contents, value] : rows) {
        tree.addFile(u"sys/devices/sensor0/value"_qs, contents);
        EXPECT_EQ(entry(u"sensor0"_qs)->propertyForKey(u"value"_qs), value);
    }
    tree.addFile(u"sys/firmware/devicetree/base/cpus/cpu@0/reg"_qs, "0\n");
    const auto cpu = IORegistryEntry::entryFromPath(u"IODeviceTree:/cpus/cpu@0"_qs);
    EXPECT_EQ(cpu->nameInPlane(u"IODeviceTree"_qs), u"cpu"_qs);
    EXPECT_EQ(cpu->propertyForKey(u"reg"_qs), QVariant(QByteArray("0\n")));
}

TEST_F(IORegistryEntryTest, KeysOutsideTheFolderAndFilesThatCannotBeReadAreAbsent)
{
    const QString folder = u"sys/devices/sensor0/"_qs;
    tree.addFile(u"sys/devices/secret"_qs, "outside\n");
    tree.addFile(folder + u"sub/inner"_qs, "2\n");
    tree.addSymlink(folder + u"linked"_qs, tree.absolute(u"sys/devices/secret"_qs));
    tree.addUnreadable(folder + u"socket"_qs);
    tree.addLargeFile(folder + u"huge"_qs, SysfsFile::MaximumSize + 1);
    tree.addLargeFile(folder + u"temp"_qs, SysfsFile::MaximumSize);
    tree.addFile(folder + u"vanishing"_qs, "1\n");
    const auto sensor = entry(u"sensor0"_qs);
    tree.remove(folder + u"vanishing"_qs);
    for (const QString& key :
         {u"../secret"_qs, u".."_qs, u"/temp"_qs, u"temp/"_qs, u"sub/inner"_qs, u"sub"_qs,
          u"linked"_qs, u""_qs, u"te\u0000mp"_qs, u"socket"_qs, u"huge"_qs, u"vanishing"_qs}) {
        EXPECT_FALSE(sensor->propertyForKey(key).isValid()) << key.toStdString();
    }
    EXPECT_EQ(sensor->properties()->keys(), QStringList{u"temp"_qs}); // a file at the cap
    // Reading /proc/self/mem at offset 0 fails with EIO, as a faulty sensor does.
    EXPECT_FALSE(SysfsFile::readAt(AT_FDCWD, "/proc/self/mem", SysfsFile::Links::DoNotFollow));
}

TEST_F(IORegistryEntryTest, EveryFolderDescriptorIsClosedAgain)
{
    const auto openDescriptors = &FixtureTree::openDescriptors;
    tree.addFile(u"sys/devices/a/b/c/temp"_qs, "1\n");
    tree.addFolder(u"sys/devices/a/d"_qs);
    const auto before = openDescriptors();
    {
        const auto root = entry(u""_qs);
        const auto all = IORegistryEnumerator::initRootedOn(
            root.get(), u"IOService"_qs, IORegistryEnumerator::IterateRecursively);
        EXPECT_EQ(all->allObjects().size(), 4u);
        EXPECT_TRUE(IORegistryEntry::entryFromXPath(u"/a/b/c[@temp]"_qs));
        EXPECT_FALSE(IORegistryEntry::entryFromXPath(u"/a/x"_qs));
        EXPECT_TRUE(entry(u"a/b"_qs)->parentEnumeratorOnPlane(u"IOService"_qs)->nextObject());
    }
    EXPECT_EQ(openDescriptors(), before);
}

// The rows go to one registry, which keeps the first model it finds.
TEST_F(IORegistryEntryTest, MachineModelIsTheDeviceTreeModelElseTheVendorKeptOnceFound)
{
    tree.addFolder(u"sys/devices/child"_qs);
    const QByteArray board("Board\0", 6);
    const std::tuple<QByteArray, QByteArray, QByteArray, std::optional<QString>> rows[] = {
        {QByteArray("\0", 1), "vendor_id:\nflags : fpu\n", QByteArray(), std::nullopt},
        {board, "vendor_id\t: GenuineIntel\n", board, u"Board"_qs},
        {"", "cpu : 0\nvendor_id : AuthenticAMD\n", QByteArray("AuthenticAMD\0", 13), u"Board"_qs}};
    for (const auto& [treeModel, cpuinfo, property, kept] : rows) {
        tree.addFile(u"sys/firmware/devicetree/base/model"_qs, treeModel);
        tree.addFile(u"proc/cpuinfo"_qs, cpuinfo);
        // Only the root of the plane has the model, ending in one zero byte.
        EXPECT_EQ(entry(u""_qs)->propertyForKey(u"model"_qs).toByteArray(), property);
        EXPECT_FALSE(entry(u"child"_qs)->propertyForKey(u"model"_qs).isValid());
        EXPECT_EQ(IORegistryEntry::machineModel(), kept);
    }
}

TEST_F(IORegistryEntryTest, MachineModelPassesOverATreeModelStartingWithZeroAndTrimsTheVendor)
{
    const std::tuple<QByteArray, QByteArray, std::optional<QByteArray>> rows[] = {
        {QByteArray("Pi\0\0", 4), "vendor_id : V\n", QByteArray("Pi\0", 3)},
        {QByteArray("\0Pi", 3), " vendor_id\v:\tAuthentic AMD \r\nvendor_id : W\n",
         QByteArray("Authentic AMD\0", 14)},
        {"", "processor : 0\nvendor_id : Cut", QByteArray("Cut\0", 4)}, // a head ends mid-line
        {"", "vendor_id:\nvendor_id : W\n", std::nullopt},
        {"", "vendorid : V\n:vendor_id\nvendor_id\n", std::nullopt}};
    for (const auto& [treeModel, cpuinfo, property] : rows) {
        tree.addFile(u"sys/firmware/devicetree/base/model"_qs, treeModel);
        tree.addFile(u"proc/cpuinfo"_qs, cpuinfo);
        EXPECT_EQ(MachineModel(tree.root()).property(), property) << cpuinfo.toStdString();
    }
}

} // namespace
} // namespace calidra
