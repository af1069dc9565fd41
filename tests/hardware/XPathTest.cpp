#include "RegistryTestBase.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

// The registry of the path language's worked example: a root with three
// sensors and a disk.
class XPathTest : public RegistryTestBase
{
protected:
    XPathTest()
    {
        sensor(u"sensor0"_qs, {{u"type"_qs, "temp"}, {u"value"_qs, "58"}});
        sensor(u"sensor1"_qs, {{u"type"_qs, "fan"}});
        sensor(u"sensor2"_qs,
               {{u"type"_qs, "temp"}, {u"location"_qs, "CPU B"}, {u"value"_qs, "61"}});
        tree.addFolder(u"sys/devices/disk0"_qs);
    }

    void sensor(const QString& folder, const std::vector<std::pair<QString, QByteArray>>& files)
    {
        tree.addFolder(u"sys/devices/"_qs + folder);
        for (const auto& [name, contents] : files) {
            tree.addFile(u"sys/devices/"_qs + folder + u'/' + name, contents + '\n');
        }
    }

    // What a path leads to, in words: an entry's path, a value, or "absent".
    static QString result(const RegistryObject& object)
    {
        if (object.entry) {
            return object.entry->pathInPlane(u"IOService"_qs).value_or(u"?"_qs);
        }
        return object.value.isValid() ? object.value.toString() : u"absent"_qs;
    }

    static QString absolute(const QString& path)
    {
        return result(IORegistryEntry::objectFromXPath(path, u"IOService"_qs));
    }
};

TEST_F(XPathTest, WorkedExample)
{
    const std::vector<std::pair<QString, QString>> cases{
        {u"/"_qs, u"IOService:/"_qs},
        {u"/sensor"_qs, u"IOService:/sensor0"_qs},
        {u"/sensor[0]"_qs, u"IOService:/sensor0"_qs},
        {u"/sensor[2]"_qs, u"IOService:/sensor2"_qs},
        {u"/sensor[3]"_qs, u"absent"_qs},
        {u"/sensor[@location]"_qs, u"IOService:/sensor2"_qs},
        {u"/sensor[@type='fan']"_qs, u"IOService:/sensor1"_qs},
        {u"/sensor[@type='temp']/@value"_qs, u"58"_qs},
        {u"/sensor/@location"_qs, u"CPU B"_qs},
        {u"/sensor[1]/@location"_qs, u"absent"_qs},
        {u"/disk/sensor"_qs, u"absent"_qs},
        {u"/sensor/"_qs, u"absent"_qs},
        {u"sensor"_qs, u"absent"_qs},
        {u"/@type"_qs, u"absent"_qs},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(absolute(path), expected) << path.toStdString();
    }
    const auto root = entry(u""_qs);
    EXPECT_EQ(result(root->objectFromRelativeXPath(u"sensor"_qs, u"IOService"_qs)),
              u"IOService:/sensor0"_qs);
    EXPECT_EQ(IORegistryEntry::objectFromXPath(u"/sensor[@type='temp']/@value"_qs, u"IOService"_qs)
                  .value.typeId(),
              QMetaType::LongLong);
}

TEST_F(XPathTest, EntriesOnlyFromEntryFromXPathAndNoMixingOfPathKinds)
{
    EXPECT_EQ(IORegistryEntry::entryFromXPath(u"/sensor"_qs)->pathInPlane(u"IOService"_qs),
              u"IOService:/sensor0"_qs);
    EXPECT_FALSE(IORegistryEntry::entryFromXPath(u"/sensor[@type='temp']/@value"_qs));
    const auto root = entry(u""_qs);
    EXPECT_TRUE(root->objectFromRelativeXPath(u"/sensor"_qs, u"IOService"_qs).isAbsent());
    EXPECT_TRUE(root->objectFromRelativeXPath(u""_qs, u"IOService"_qs).isAbsent());
    EXPECT_EQ(absolute(u""_qs), u"absent"_qs);
    EXPECT_TRUE(IORegistryEntry::objectFromXPath(u"/"_qs, u"NoSuchPlane"_qs).isAbsent());
}

TEST_F(XPathTest, APropertyStepEndsThePath)
{
    tree.addFile(u"sys/devices/type"_qs, "root\n");
    EXPECT_EQ(absolute(u"/@type/anything"_qs), u"root"_qs);
    EXPECT_EQ(absolute(u"/@type"_qs), u"root"_qs);
}

TEST_F(XPathTest, FilterValuesMatchTextPropertiesOnly)
{
    sensor(u"probe0"_qs, {{u"id"_qs, "7"}, {u"label"_qs, "a b=c"}, {u"blank"_qs, ""}});
    tree.addFile(u"sys/devices/probe1/raw"_qs, QByteArray("7\xff", 2));
    EXPECT_EQ(absolute(u"/probe[@id='7']"_qs), u"absent"_qs);        // a number, not text
    EXPECT_EQ(absolute(u"/probe[@raw='7\u00ff']"_qs), u"absent"_qs); // a byte string
    EXPECT_EQ(absolute(u"/probe[@label='a b=c']"_qs), u"IOService:/probe0"_qs);
    EXPECT_EQ(absolute(u"/probe[@blank='']"_qs), u"IOService:/probe0"_qs);
    EXPECT_EQ(absolute(u"/probe[@label='']"_qs), u"absent"_qs);
    EXPECT_EQ(absolute(u"/probe[@missing='x']"_qs), u"absent"_qs);
    EXPECT_EQ(absolute(u"/probe[@raw]"_qs), u"IOService:/probe1"_qs);
}

TEST_F(XPathTest, MalformedSelectorsAreReadAsTheNameAlone)
{
    for (const QString& path : {u"/sensor[]"_qs, u"/sensor[x]"_qs, u"/sensor[@]"_qs,
                                u"/sensor[1"_qs, u"/sensor[0]trailing"_qs}) {
        EXPECT_EQ(absolute(path), u"IOService:/sensor0"_qs) << path.toStdString();
    }
}

TEST_F(XPathTest, HostilePathsGiveAbsent)
{
    const QString deep = u"/sensor"_qs.repeated(100000);
    for (const QString& path : {u"/[0]"_qs, u"/[@type]"_qs, u"/sensor[99999999999999999999999]"_qs,
                                u"/sensor[18446744073709551615]"_qs, u"/..//../etc"_qs,
                                u"/./sensor"_qs, deep, u"/@../../secret"_qs, u"/@"_qs}) {
        EXPECT_EQ(absolute(path), u"absent"_qs) << path.left(60).toStdString();
    }
}

TEST_F(XPathTest, BacktrackingTriesEveryCandidateInDepth)
{
    // Only the last "bus" has a "dev" with the property: the walk must come
    // back up from each earlier bus and try the next with the full path.
    for (int bus = 0; bus < 5; ++bus) {
        tree.addFolder(u"sys/devices/bus%1/dev0"_qs.arg(bus));
    }
    tree.addFile(u"sys/devices/bus4/dev1/temp"_qs, "42\n");
    EXPECT_EQ(absolute(u"/bus/dev/@temp"_qs), u"42"_qs);
    EXPECT_EQ(absolute(u"/bus/dev[@temp]"_qs), u"IOService:/bus4/dev1"_qs);
    EXPECT_EQ(absolute(u"/bus[4]/dev[1]/@temp"_qs), u"42"_qs);
    EXPECT_EQ(absolute(u"/bus[3]/dev[1]/@temp"_qs), u"absent"_qs);
}

} // namespace
} // namespace calidra
