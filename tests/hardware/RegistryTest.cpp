// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureTree.h"
#include "QtPrinters.h"
#include "hardware/IORegistry.h"
#include "hardware/IORegistryEntry.h"
#include "hardware/IORegistryEnumerator.h"
#include "hardware/MachineModel.h"
#include "hardware/SysfsFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>

namespace calidra {
namespace {

const QString Plane = u"IOService"_qs;
constexpr quint32 Parents = IORegistryEnumerator::IterateParents;
constexpr quint32 Recursively = IORegistryEnumerator::IterateRecursively;

class RegistryTest : public testing::Test
{
protected:
    RegistryTest() { tree.addFolder(u"sys/devices"_qs); }

    std::unique_ptr<IORegistryEntry> entry(const QString& path) const
    {
        return IORegistryEntry::entryFromPath(u"IOService:/"_qs + path);
    }

    void addFolders(std::initializer_list<QString> folders)
    {
        for (const QString& folder : folders)
            tree.addFolder(u"sys/devices/"_qs + folder);
    }

    // The paths of the entries still to come, without "IOService:".
    static QString rest(IORegistryEnumerator& enumerator)
    {
        QStringList paths;
        for (const auto& entry : enumerator.allObjects())
            paths.append(entry->pathInPlane(Plane).value_or(u"?"_qs).mid(10));
        return paths.join(u' ');
    }

    // What an absolute path leads to: an entry's path, a value, or "absent".
    static QString xpath(const QString& path)
    {
        const RegistryObject object = IORegistryEntry::objectFromXPath(path, Plane);
        const QString value = object.value.isValid() ? object.value.toString() : u"absent"_qs;
        return object.entry ? object.entry->pathInPlane(Plane).value_or(u"?"_qs) : value;
    }

    FixtureTree tree;
    IORegistry registry{tree.root()};
};

TEST_F(RegistryTest, PathsNameEntriesInThePlaneAndNothingElse)
{
    tree.addFolder(u"sys/devices/platform/coretemp.0/hwmon/hwmon3"_qs);
    tree.addFile(u"sys/devices/platform/uevent"_qs, "x\n");
    tree.addSymlink(u"sys/devices/link"_qs, tree.absolute(u"sys/devices/platform"_qs));
    EXPECT_EQ(IORegistryEntry::rootEntry()->pathInPlane(Plane), u"IOService:/"_qs);
    const QString path = u"IOService:/platform/coretemp.0/hwmon/hwmon3"_qs;
    const auto sensor = IORegistryEntry::entryFromPath(path);
    ASSERT_TRUE(sensor);
    EXPECT_EQ(sensor->nameInPlane(Plane), u"hwmon"_qs);
    EXPECT_EQ(sensor->locationInPlane(Plane), u"3"_qs);
    EXPECT_EQ(sensor->pathInPlane(Plane), path);
    EXPECT_FALSE(sensor->nameInPlane(u"IODeviceTree"_qs) ||
                 sensor->pathInPlane(u"IODeviceTree"_qs));
    EXPECT_FALSE(entry(u"platform/coretemp.0/hwmon"_qs)->locationInPlane(Plane));
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

// A property is typed by what its file holds (device-tree ones are bytes);
// keys outside the folder and files that cannot be read are absent.
TEST_F(RegistryTest, PropertiesAreTypedByWhatTheFileHoldsAndAbsentWhenUnreadable)
{
    // clang-format off
    const std::pair<QByteArray, QVariant> rows[] = {
        {"45000\n", qlonglong(45000)}, {"-12", qlonglong(-12)}, {"cpu-thermal\n", u"cpu-thermal"_qs},
        {"5\n\n", u"5\n"_qs}, {"", u""_qs}, {QByteArray("\x01\xff\x00z", 4), QByteArray("\x01\xff\x00z", 4)},
        {"123456789012345678901234567890\n", u"123456789012345678901234567890"_qs}};
    // clang-format on
    const QString folder = u"sys/devices/sensor0/"_qs;
    for (const auto& [contents, value] : rows) {
        tree.addFile(folder + u"value"_qs, contents);
        EXPECT_EQ(entry(u"sensor0"_qs)->propertyForKey(u"value"_qs), value);
    }
    tree.addFile(u"sys/firmware/devicetree/base/cpus/cpu@0/reg"_qs, "0\n");
    const auto cpu = IORegistryEntry::entryFromPath(u"IODeviceTree:/cpus/cpu@0"_qs);
    EXPECT_EQ(cpu->nameInPlane(u"IODeviceTree"_qs), u"cpu"_qs);
    EXPECT_EQ(cpu->propertyForKey(u"reg"_qs), QVariant(QByteArray("0\n")));
    tree.remove(folder + u"value"_qs);
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
          u"linked"_qs, u""_qs, u"te\u0000mp"_qs, u"socket"_qs, u"huge"_qs, u"vanishing"_qs})
        EXPECT_FALSE(sensor->propertyForKey(key).isValid()) << key.toStdString();
    EXPECT_EQ(sensor->properties()->keys(), QStringList{u"temp"_qs}); // a file at the cap
    // Reading /proc/self/mem at offset 0 fails with EIO, as a faulty sensor does.
    EXPECT_FALSE(SysfsFile::readAt(AT_FDCWD, "/proc/self/mem", SysfsFile::Links::DoNotFollow));
}

// One registry keeps the first model it finds; only the root has it, ending in a zero byte.
TEST_F(RegistryTest, MachineModelIsTheDeviceTreeModelElseTheVendorKeptOnceFound)
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
        EXPECT_EQ(entry(u""_qs)->propertyForKey(u"model"_qs).toByteArray(), property);
        EXPECT_FALSE(entry(u"child"_qs)->propertyForKey(u"model"_qs).isValid());
        EXPECT_EQ(IORegistryEntry::machineModel(), kept);
    }
    // A tree model starting with zero is passed over; the vendor is trimmed.
    const std::tuple<QByteArray, QByteArray, std::optional<QByteArray>> more[] = {
        {QByteArray("Pi\0\0", 4), "vendor_id : V\n", QByteArray("Pi\0", 3)},
        {QByteArray("\0Pi", 3), " vendor_id\v:\tAuthentic AMD \r\nvendor_id : W\n",
         QByteArray("Authentic AMD\0", 14)},
        {"", "processor : 0\nvendor_id : Cut", QByteArray("Cut\0", 4)}, // a head ends mid-line
        {"", "vendor_id:\nvendor_id : W\n", std::nullopt},
        {"", "vendorid : V\n:vendor_id\nvendor_id\n", std::nullopt}};
    for (const auto& [treeModel, cpuinfo, property] : more) {
        tree.addFile(u"sys/firmware/devicetree/base/model"_qs, treeModel);
        tree.addFile(u"proc/cpuinfo"_qs, cpuinfo);
        EXPECT_EQ(MachineModel(tree.root()).property(), property) << cpuinfo.toStdString();
    }
}

// Sub-folders only (no link, no file), in order; a vanished folder is passed over.
TEST_F(RegistryTest, EnumeratorsWalkChildrenInOrderAndPassOverVanishedFolders)
{
    addFolders({u"a/a1/a11"_qs, u"a/a2"_qs, u"b"_qs, u"c"_qs});
    tree.addFile(u"sys/devices/file"_qs, "not a child\n");
    tree.addSymlink(u"sys/devices/link"_qs, tree.absolute(u"sys/devices/a"_qs));
    const auto before = FixtureTree::openDescriptors();
    {
        const auto root = entry(u""_qs);
        const auto walk = root->childEnumeratorOnPlane(Plane);
        ASSERT_EQ(walk->nextObject()->pathInPlane(Plane), u"IOService:/a"_qs);
        ASSERT_TRUE(walk->enterEntry());
        EXPECT_EQ(rest(*walk), u"/a/a1 /a/a2"_qs);
        ASSERT_TRUE(walk->exitEntry());
        EXPECT_EQ(rest(*walk), u"/b /c"_qs);
        EXPECT_EQ(rest(*IORegistryEnumerator::initRootedOn(root.get(), Plane, Recursively)),
                  u"/a /a/a1 /a/a1/a11 /a/a2 /b /c"_qs);
        const auto a11 = entry(u"a/a1/a11"_qs);
        EXPECT_EQ(rest(*a11->parentEnumeratorOnPlane(Plane)), u"/a/a1"_qs);
        EXPECT_EQ(
            rest(*IORegistryEnumerator::initRootedOn(a11.get(), Plane, Parents | Recursively)),
            u"/a/a1 /a /"_qs);
        EXPECT_FALSE(IORegistryEnumerator::initRootedOn(nullptr, Plane, 0) ||
                     IORegistryEnumerator::initRootedOn(root.get(), QString(), 0) ||
                     IORegistryEnumerator::initWithKernelIterator(nullptr) ||
                     root->childEnumeratorOnPlane(u"IODeviceTree"_qs) ||
                     entry(u"b"_qs)->childEnumeratorOnPlane(Plane)->nextObject());
        const auto children = root->childEnumeratorOnPlane(Plane);
        const auto c = entry(u"c"_qs);
        tree.remove(u"sys/devices/b"_qs);
        EXPECT_EQ(rest(*children), u"/a /c"_qs);
        children->reset();
        tree.remove(u"sys/devices/c"_qs);
        EXPECT_FALSE(c->childEnumeratorOnPlane(Plane)->nextObject()); // its own folder is gone
        EXPECT_EQ(rest(*children), u"/a"_qs);
    }
    EXPECT_EQ(FixtureTree::openDescriptors(), before);
}

// Probes with text, number, byte or empty properties; only bus1 has a "dev" with the property.
TEST_F(RegistryTest, XPathWorkedExampleAndHostilePaths)
{
    // clang-format off
    for (const auto& [path, contents] : std::initializer_list<std::pair<const char*, QByteArray>>{
             {"sensor0/type", "temp\n"}, {"sensor0/value", "58\n"}, {"sensor1/type", "fan\n"},
             {"sensor2/type", "temp\n"}, {"sensor2/location", "CPU B\n"}, {"sensor2/value", "61\n"},
             {"probe0/id", "7\n"}, {"probe0/label", "a b=c\n"}, {"probe0/blank", "\n"},
             {"probe1/raw", QByteArray("7\xff", 2)}, {"bus1/dev1/temp", "42\n"}}) {
        tree.addFile(u"sys/devices/"_qs + QString::fromLatin1(path), contents);
    }
    addFolders({u"disk0"_qs, u"bus0/dev0"_qs, u"bus1/dev0"_qs});
    const QString absent = u"absent"_qs, sensor0 = u"IOService:/sensor0"_qs;
    const std::pair<QString, QString> cases[] = {
        {u"/"_qs, u"IOService:/"_qs}, {u"/sensor"_qs, sensor0}, {u"/sensor[0]"_qs, sensor0},
        {u"/sensor[2]"_qs, u"IOService:/sensor2"_qs}, {u"/sensor[3]"_qs, absent},
        {u"/sensor[@location]"_qs, u"IOService:/sensor2"_qs},
        {u"/sensor[@type='fan']"_qs, u"IOService:/sensor1"_qs}, {u"/sensor[@type='temp']/@value"_qs, u"58"_qs},
        {u"/sensor/@location"_qs, u"CPU B"_qs}, {u"/sensor[1]/@location"_qs, absent},
        {u"/disk/sensor"_qs, absent}, {u"/sensor/"_qs, absent}, {u"sensor"_qs, absent}, {u"/@type"_qs, absent},
        // Filter values match text properties only: not a number, not a byte string.
        {u"/probe[@id='7']"_qs, absent}, {u"/probe[@raw='7\u00ff']"_qs, absent},
        {u"/probe[@raw]"_qs, u"IOService:/probe1"_qs}, {u"/probe[@label='a b=c']"_qs, u"IOService:/probe0"_qs},
        {u"/probe[@blank='']"_qs, u"IOService:/probe0"_qs}, {u"/probe[@label='']"_qs, absent},
        // Backtracking tries every candidate in depth; an index picks one bus.
        {u"/bus/dev/@temp"_qs, u"42"_qs}, {u"/bus/dev[@temp]"_qs, u"IOService:/bus1/dev1"_qs},
        {u"/bus[0]/dev[1]/@temp"_qs, absent},
        // Malformed selectors read as the name alone.
        {u"/sensor[]"_qs, sensor0}, {u"/sensor[x]"_qs, sensor0}, {u"/sensor[@]"_qs, sensor0},
        {u"/sensor[1"_qs, sensor0}, {u"/sensor[0]trailing"_qs, sensor0},
        {u""_qs, absent}, {u"/[0]"_qs, absent}, {u"/[@type]"_qs, absent},
        {u"/sensor[99999999999999999999999]"_qs, absent}, {u"/sensor[18446744073709551615]"_qs, absent},
        {u"/..//../etc"_qs, absent}, {u"/./sensor"_qs, absent}, {u"/sensor"_qs.repeated(100000), absent},
        {u"/@../../secret"_qs, absent}, {u"/@"_qs, absent},
    };
    // clang-format on
    const auto before = FixtureTree::openDescriptors(); // every one is closed again
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(xpath(path), expected) << path.left(60).toStdString();
    EXPECT_EQ(FixtureTree::openDescriptors(), before);
    EXPECT_EQ(IORegistryEntry::entryFromXPath(u"/sensor"_qs)->pathInPlane(Plane), sensor0);
    EXPECT_FALSE(IORegistryEntry::entryFromXPath(u"/sensor[@type='temp']/@value"_qs));
    const auto root = entry(u""_qs);
    EXPECT_EQ(root->objectFromRelativeXPath(u"sensor"_qs, Plane).entry->pathInPlane(Plane),
              sensor0);
    EXPECT_TRUE(root->objectFromRelativeXPath(u"/sensor"_qs, Plane).isAbsent());
    EXPECT_TRUE(IORegistryEntry::objectFromXPath(u"/"_qs, u"NoSuchPlane"_qs).isAbsent());
    tree.addFile(u"sys/devices/type"_qs, "root\n");
    EXPECT_EQ(xpath(u"/@type/anything"_qs), u"root"_qs); // a property step ends the path
}

} // namespace
} // namespace calidra
