#include "RegistryTestBase.h"
#include "hardware/IORegistryEnumerator.h"
#include "hardware/SysfsFile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <fcntl.h>

namespace calidra {
namespace {

class IORegistryEntryTest : public RegistryTestBase
{};

TEST_F(IORegistryEntryTest, RegistryPathsNameEntriesInThePlane)
{
    tree.addFolder(u"sys/devices/platform/coretemp.0/hwmon/hwmon3"_qs);
    EXPECT_EQ(IORegistryEntry::rootEntry()->pathInPlane(u"IOService"_qs), u"IOService:/"_qs);

    const QString path = u"IOService:/platform/coretemp.0/hwmon/hwmon3"_qs;
    const auto sensor = IORegistryEntry::entryFromPath(path);
    ASSERT_TRUE(sensor);
    EXPECT_EQ(sensor->name(), u"hwmon"_qs);
    EXPECT_EQ(sensor->nameInPlane(u"IOService"_qs), u"hwmon"_qs);
    EXPECT_EQ(sensor->locationInPlane(u"IOService"_qs), u"3"_qs);
    EXPECT_EQ(sensor->pathInPlane(u"IOService"_qs), path);
    EXPECT_FALSE(sensor->nameInPlane(u"IODeviceTree"_qs) ||
                 sensor->pathInPlane(u"IODeviceTree"_qs));
    EXPECT_FALSE(entry(u"platform/coretemp.0/hwmon"_qs)->locationInPlane(u"IOService"_qs));
}

TEST_F(IORegistryEntryTest, PathsThatNameNothingOrLeaveThePlaneGiveNoEntry)
{
    tree.addFolder(u"sys/devices/platform"_qs);
    tree.addFile(u"sys/devices/platform/uevent"_qs, "x\n");
    tree.addFolder(u"elsewhere"_qs);
    tree.addSymlink(u"sys/devices/link"_qs, tree.absolute(u"elsewhere"_qs));

    for (const QString& path :
         {u"IOService:/missing"_qs, u"IOService:/platform/uevent"_qs, u"IOService:/link"_qs,
          u"IOService:/.."_qs, u"IOService:/platform/../.."_qs, u"IOService:/./platform"_qs,
          u"IOService"_qs, u"IOService:"_qs, u"NoSuchPlane:/"_qs, u":/"_qs, u""_qs,
          u"IOService:/platform\u0000x"_qs}) {
        EXPECT_FALSE(IORegistryEntry::entryFromPath(path)) << path.toStdString();
    }
}

TEST_F(IORegistryEntryTest, WithoutARegistryClassOperationsGiveNothing)
{
    const IORegistry* outer = IORegistry::masterPort();
    {
        IORegistry inner(tree.absolute(u"no-such-root"_qs));
        EXPECT_FALSE(IORegistryEntry::rootEntry());
        EXPECT_FALSE(IORegistryEntry::machineModel());
    }
    EXPECT_EQ(IORegistry::masterPort(), outer);
    EXPECT_TRUE(IORegistryEntry::rootEntry());
}

TEST_F(IORegistryEntryTest, PropertiesAreTypedByWhatTheFileHolds)
{
    const QString folder = u"sys/devices/sensor0/"_qs;
    tree.addFile(folder + u"temp"_qs, "45000\n");
    tree.addFile(folder + u"negative"_qs, "-12");
    tree.addFile(folder + u"type"_qs, "cpu-thermal\n");
    tree.addFile(folder + u"two_lines"_qs, "a\nb\n\n");
    tree.addFile(folder + u"empty"_qs, "");
    tree.addFile(folder + u"binary"_qs, QByteArray("\x01\xff\x00z", 4));
    tree.addFile(folder + u"huge_number"_qs, "123456789012345678901234567890\n");
    tree.addFile(folder + u"spaced"_qs, " 42\n");
    tree.addFile(folder + u"two_line_feeds"_qs, "5\n\n");

    const auto sensor = entry(u"sensor0"_qs);
    ASSERT_TRUE(sensor);
    EXPECT_EQ(sensor->propertyForKey(u"temp"_qs), QVariant(qlonglong(45000)));
    EXPECT_EQ(sensor->propertyForKey(u"negative"_qs), QVariant(qlonglong(-12)));
    EXPECT_EQ(sensor->propertyForKey(u"type"_qs), QVariant(u"cpu-thermal"_qs));
    EXPECT_EQ(sensor->propertyForKey(u"two_lines"_qs), QVariant(u"a\nb\n"_qs));
    EXPECT_EQ(sensor->propertyForKey(u"empty"_qs), QVariant(u""_qs));
    EXPECT_EQ(sensor->propertyForKey(u"binary"_qs), QVariant(QByteArray("\x01\xff\x00z", 4)));
    EXPECT_EQ(sensor->propertyForKey(u"huge_number"_qs),
              QVariant(u"123456789012345678901234567890"_qs));
    EXPECT_EQ(sensor->propertyForKey(u"spaced"_qs), QVariant(u" 42"_qs));
    EXPECT_EQ(sensor->propertyForKey(u"two_line_feeds"_qs), QVariant(u"5\n"_qs));
}

TEST_F(IORegistryEntryTest, KeysNeverReachOutsideTheEntrysFolder)
{
    tree.addFile(u"sys/devices/secret"_qs, "outside\n");
    tree.addFile(u"sys/devices/sensor0/temp"_qs, "1\n");
    tree.addFolder(u"sys/devices/sensor0/sub"_qs);
    tree.addFile(u"sys/devices/sensor0/sub/inner"_qs, "2\n");
    tree.addSymlink(u"sys/devices/sensor0/linked"_qs, tree.absolute(u"sys/devices/secret"_qs));

    const auto sensor = entry(u"sensor0"_qs);
    ASSERT_TRUE(sensor);
    for (const QString& key :
         {u"../secret"_qs, u".."_qs, u"."_qs, u"/"_qs, u"/temp"_qs, u"temp/"_qs, u"sub/inner"_qs,
          u"sub"_qs, u"linked"_qs, u""_qs, u"temp/0"_qs, u"te\u0000mp"_qs}) {
        EXPECT_FALSE(sensor->propertyForKey(key).isValid()) << key.toStdString();
    }
}

TEST_F(IORegistryEntryTest, UnreadableHugeAndVanishingFilesAreAbsentProperties)
{
    const QString folder = u"sys/devices/sensor0/"_qs;
    tree.addUnreadable(folder + u"socket"_qs);
    tree.addLargeFile(folder + u"huge"_qs, SysfsFile::MaximumSize + 1);
    tree.addLargeFile(folder + u"at_cap"_qs, SysfsFile::MaximumSize);
    tree.addFile(folder + u"vanishing"_qs, "1\n");

    const auto sensor = entry(u"sensor0"_qs);
    ASSERT_TRUE(sensor);
    EXPECT_FALSE(sensor->propertyForKey(u"socket"_qs).isValid());
    EXPECT_FALSE(sensor->propertyForKey(u"huge"_qs).isValid());
    EXPECT_EQ(sensor->propertyForKey(u"at_cap"_qs).toByteArray().size(), SysfsFile::MaximumSize);
    tree.remove(folder + u"vanishing"_qs);
    EXPECT_FALSE(sensor->propertyForKey(u"vanishing"_qs).isValid());

    const std::optional<QVariantMap> table = sensor->properties();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->keys(), QStringList{u"at_cap"_qs});
}

TEST(IORegistryEntryReadErrors, AFileThatFailsToReadIsAnAbsentProperty)
{
    // Reading /proc/self/mem at offset 0 fails with EIO, as a faulty sensor does.
    const int folder = ::open("/proc/self", O_PATH | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    EXPECT_FALSE(SysfsFile::readAt(folder, "mem", SysfsFile::Links::DoNotFollow));
    ::close(folder);
}

TEST_F(IORegistryEntryTest, DescriptionIsTheClassNameAndThePropertyTable)
{
    tree.addFile(u"sys/devices/sensor0/temp"_qs, "58\n");
    tree.addFile(u"sys/devices/sensor0/type"_qs, "te\"mp\n");
    tree.addFile(u"sys/devices/sensor0/raw"_qs, QByteArray("\x00\x01", 2));
    EXPECT_EQ(entry(u"sensor0"_qs)->description(),
              u"IORegistryEntry {\n    \"raw\" = <0001>;\n    \"temp\" = 58;\n"
              u"    \"type\" = \"te\\\"mp\";\n}"_qs);
}

TEST_F(IORegistryEntryTest, DeviceTreePropertiesAreAlwaysByteStrings)
{
    tree.addFile(u"sys/firmware/devicetree/base/cpus/cpu@0/compatible"_qs, "arm,cortex-a72\n");
    tree.addFile(u"sys/firmware/devicetree/base/cpus/cpu@0/reg"_qs, "0\n");
    const auto cpu = IORegistryEntry::entryFromPath(u"IODeviceTree:/cpus/cpu@0"_qs);
    ASSERT_TRUE(cpu);
    EXPECT_EQ(cpu->nameInPlane(u"IODeviceTree"_qs), u"cpu"_qs);
    EXPECT_EQ(cpu->propertyForKey(u"compatible"_qs), QVariant(QByteArray("arm,cortex-a72\n")));
    EXPECT_EQ(cpu->propertyForKey(u"reg"_qs), QVariant(QByteArray("0\n")));
}

TEST_F(IORegistryEntryTest, EveryFolderDescriptorIsClosedAgain)
{
    const auto openDescriptors = [] { return QDir(u"/proc/self/fd"_qs).count(); };
    tree.addFile(u"sys/devices/a/b/c/temp"_qs, "1\n");
    tree.addFolder(u"sys/devices/a/d"_qs);
    const auto before = openDescriptors();
    {
        const auto root = entry(u""_qs);
        const auto all = IORegistryEnumerator::initRootedOn(
            root.get(), u"IOService"_qs, IORegistryEnumerator::IterateRecursively);
        EXPECT_EQ(all->allObjects().size(), 4u);
        all->reset();
        all->nextObject();
        EXPECT_TRUE(IORegistryEntry::entryFromXPath(u"/a/b/c[@temp]"_qs));
        EXPECT_FALSE(IORegistryEntry::entryFromXPath(u"/a/x"_qs));
        EXPECT_TRUE(entry(u"a/b"_qs)->parentEnumeratorOnPlane(u"IOService"_qs)->nextObject());
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(IORegistryEntryTest, MachineModelIsTheDeviceTreeModelElseTheProcessorVendor)
{
    const struct
    {
        std::optional<QByteArray> treeModel;
        QByteArray cpuinfo;
        std::optional<QString> model;
    } cases[] = {
        {QByteArray("Test Board\0", 11), "vendor_id\t: GenuineIntel\n", u"Test Board"_qs},
        {QByteArray("Board"), "", u"Board"_qs},
        {QByteArray("\0", 1), "processor : 0\nvendor_id : AuthenticAMD\n", u"AuthenticAMD"_qs},
        {std::nullopt, "vendor_id:\nflags : fpu\n", std::nullopt},
    };
    for (const auto& c : cases) {
        FixtureTree machine;
        machine.addFolder(u"sys/devices/child"_qs);
        if (c.treeModel) {
            machine.addFile(u"sys/firmware/devicetree/base/model"_qs, *c.treeModel);
        }
        machine.addFile(u"proc/cpuinfo"_qs, c.cpuinfo);
        const IORegistry registry(machine.root());
        EXPECT_EQ(IORegistryEntry::machineModel(), c.model);
        // Only the root of the plane has the model, ending in one zero byte.
        EXPECT_EQ(IORegistryEntry::rootEntry()->propertyForKey(u"model"_qs).toByteArray(),
                  c.model ? c.model->toUtf8() + '\0' : QByteArray());
        EXPECT_FALSE(IORegistryEntry::entryFromPath(u"IOService:/child"_qs)
                         ->propertyForKey(u"model"_qs)
                         .isValid());
    }
}

TEST_F(IORegistryEntryTest, MachineModelIsReadOnceButRetriedUntilFound)
{
    EXPECT_FALSE(IORegistryEntry::machineModel());
    tree.addFile(u"proc/cpuinfo"_qs, "vendor_id : GenuineIntel\n");
    EXPECT_EQ(IORegistryEntry::machineModel(), u"GenuineIntel"_qs);
    tree.addFile(u"proc/cpuinfo"_qs, "vendor_id : AuthenticAMD\n");
    EXPECT_EQ(IORegistryEntry::machineModel(), u"GenuineIntel"_qs);
    EXPECT_TRUE(entry(u""_qs)->properties()->contains(u"model"_qs));
}

} // namespace
} // namespace calidra
