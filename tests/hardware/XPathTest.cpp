// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegistryTestBase.h"

#include <gtest/gtest.h>

#include <utility>

namespace calidra {
namespace {

// The registry of the path language's worked example, with probes whose
// properties are text, a number, bytes or empty, and buses of which only the
// second has a "dev" with the property, so that a walk must come back up.
class XPathTest : public RegistryTestBase
{
protected:
    XPathTest()
    {
        // clang-format off
        const std::pair<const char*, QByteArray> files[] = {
            {"sensor0/type", "temp\n"}, {"sensor0/value", "58\n"}, {"sensor1/type", "fan\n"},
            {"sensor2/type", "temp\n"}, {"sensor2/location", "CPU B\n"}, {"sensor2/value", "61\n"},
            {"probe0/id", "7\n"}, {"probe0/label", "a b=c\n"}, {"probe0/blank", "\n"},
            {"probe1/raw", QByteArray("7\xff", 2)}, {"bus1/dev1/temp", "42\n"},
        };
        // clang-format on
        for (const auto& [path, contents] : files) {
            tree.addFile(u"sys/devices/"_qs + QString::fromLatin1(path), contents);
        }
        for (const QString& folder : {u"disk0"_qs, u"bus0/dev0"_qs, u"bus1/dev0"_qs}) {
            tree.addFolder(u"sys/devices/"_qs + folder);
        }
    }

    // What an absolute path leads to, in words: an entry's path, a value, or "absent".
    static QString absolute(const QString& path)
    {
        const RegistryObject object = IORegistryEntry::objectFromXPath(path, u"IOService"_qs);
        const QString value = object.value.isValid() ? object.value.toString() : u"absent"_qs;
        return object.entry ? object.entry->pathInPlane(u"IOService"_qs).value_or(u"?"_qs) : value;
    }
};

TEST_F(XPathTest, WorkedExample)
{
    // clang-format off
    const std::pair<QString, QString> cases[] = {
        {u"/"_qs, u"IOService:/"_qs}, {u"/sensor"_qs, u"IOService:/sensor0"_qs},
        {u"/sensor[0]"_qs, u"IOService:/sensor0"_qs}, {u"/sensor[2]"_qs, u"IOService:/sensor2"_qs},
        {u"/sensor[3]"_qs, u"absent"_qs}, {u"/sensor[@location]"_qs, u"IOService:/sensor2"_qs},
        {u"/sensor[@type='fan']"_qs, u"IOService:/sensor1"_qs}, {u"/sensor[@type='temp']/@value"_qs, u"58"_qs},
        {u"/sensor/@location"_qs, u"CPU B"_qs}, {u"/sensor[1]/@location"_qs, u"absent"_qs},
        {u"/disk/sensor"_qs, u"absent"_qs}, {u"/sensor/"_qs, u"absent"_qs},
        {u"sensor"_qs, u"absent"_qs}, {u"/@type"_qs, u"absent"_qs},
        // Filter values match text properties only: not a number, not a byte string.
        {u"/probe[@id='7']"_qs, u"absent"_qs}, {u"/probe[@raw='7\u00ff']"_qs, u"absent"_qs},
        {u"/probe[@raw]"_qs, u"IOService:/probe1"_qs}, {u"/probe[@label='a b=c']"_qs, u"IOService:/probe0"_qs},
        {u"/probe[@blank='']"_qs, u"IOService:/probe0"_qs}, {u"/probe[@label='']"_qs, u"absent"_qs},
        // Backtracking tries every candidate in depth; an index picks one bus.
        {u"/bus/dev/@temp"_qs, u"42"_qs}, {u"/bus/dev[@temp]"_qs, u"IOService:/bus1/dev1"_qs},
        {u"/bus[0]/dev[1]/@temp"_qs, u"absent"_qs},
    };
    // clang-format on
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(absolute(path), expected) << path.toStdString();
    }
}

TEST_F(XPathTest, EntriesOnlyFromEntryFromXPathAndNoMixingOfPathKinds)
{
    EXPECT_EQ(IORegistryEntry::entryFromXPath(u"/sensor"_qs)->pathInPlane(u"IOService"_qs),
              u"IOService:/sensor0"_qs);
    EXPECT_FALSE(IORegistryEntry::entryFromXPath(u"/sensor[@type='temp']/@value"_qs));
    const auto root = entry(u""_qs);
    const RegistryObject relative = root->objectFromRelativeXPath(u"sensor"_qs, u"IOService"_qs);
    EXPECT_EQ(relative.entry->pathInPlane(u"IOService"_qs), u"IOService:/sensor0"_qs);
    EXPECT_TRUE(root->objectFromRelativeXPath(u"/sensor"_qs, u"IOService"_qs).isAbsent());
    EXPECT_TRUE(IORegistryEntry::objectFromXPath(u"/"_qs, u"NoSuchPlane"_qs).isAbsent());
    tree.addFile(u"sys/devices/type"_qs, "root\n");
    EXPECT_EQ(absolute(u"/@type/anything"_qs), u"root"_qs); // a property step ends the path
}

TEST_F(XPathTest, MalformedSelectorsReadAsTheNameAloneAndHostilePathsGiveAbsent)
{
    for (const QString& path : {u"/sensor[]"_qs, u"/sensor[x]"_qs, u"/sensor[@]"_qs,
                                u"/sensor[1"_qs, u"/sensor[0]trailing"_qs}) {
        EXPECT_EQ(absolute(path), u"IOService:/sensor0"_qs) << path.toStdString();
    }
    for (const QString& path :
         {u""_qs, u"/[0]"_qs, u"/[@type]"_qs, u"/sensor[99999999999999999999999]"_qs,
          u"/sensor[18446744073709551615]"_qs, u"/..//../etc"_qs, u"/./sensor"_qs,
          u"/sensor"_qs.repeated(100000), u"/@../../secret"_qs, u"/@"_qs}) {
        EXPECT_EQ(absolute(path), u"absent"_qs) << path.left(60).toStdString();
    }
}

} // namespace
} // namespace calidra
