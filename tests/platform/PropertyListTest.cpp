#include "platform/PropertyList.h"

#include "FixtureTree.h"
#include "QtPrinters.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

namespace calidra {
namespace {

QByteArray xmlPlist(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
           "</plist>\n";
}

QByteArray bigEndian(quint64 value, int size)
{
    QByteArray bytes(size, '\0');
    for (int byte = size - 1; byte >= 0; --byte, value >>= 8) {
        bytes[byte] = char(value & 0xFF);
    }
    return bytes;
}

QByteArray realBytes(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bigEndian(bits, 8);
}

// A binary property list of already encoded objects; object 0 is the root.
QByteArray binaryPlist(const std::vector<QByteArray>& objects, int referenceSize = 1)
{
    QByteArray bytes = "bplist00";
    QByteArray offsets;
    for (const QByteArray& object : objects) {
        offsets += bigEndian(quint64(bytes.size()), 4);
        bytes += object;
    }
    const quint64 table = quint64(bytes.size());
    return bytes + offsets + QByteArray(6, '\0') + char(4) + char(referenceSize) +
           bigEndian(objects.size(), 8) + bigEndian(0, 8) + bigEndian(table, 8);
}

// A one-element array whose elements refer to `references`.
QByteArray arrayOf(const std::vector<quint64>& references, int referenceSize = 1)
{
    QByteArray array(1, char(0xA0 | references.size()));
    for (const quint64 reference : references) {
        array += bigEndian(reference, referenceSize);
    }
    return array;
}

// `depth` arrays, each the only element of the one before.
QByteArray nestedBinary(int depth)
{
    std::vector<QByteArray> objects;
    for (int level = 1; level < depth; ++level) {
        objects.push_back(arrayOf({quint64(level)}, 4));
    }
    objects.push_back(arrayOf({}));
    return binaryPlist(objects, 4);
}

QByteArray nestedXml(int depth, const QByteArray& afterEachOpening = {})
{
    return xmlPlist(QByteArray("<array>" + afterEachOpening).repeated(depth) +
                    QByteArray("</array>").repeated(depth));
}

// How many arrays are nested, following the first element.
int nesting(QVariant value)
{
    int levels = 0;
    while (value.typeId() == QMetaType::QVariantList) {
        ++levels;
        const QVariantList list = value.toList();
        value = list.isEmpty() ? QVariant() : list.first();
    }
    return levels;
}

class PropertyListTest : public testing::Test
{
protected:
    QString write(const QByteArray& contents)
    {
        tree.addFile(u"file.plist"_qs, contents);
        return tree.absolute(u"file.plist"_qs);
    }

    std::optional<QVariantList> readArray(const QByteArray& contents)
    {
        return PropertyList::arrayWithContentsOfFile(write(contents));
    }

    FixtureTree tree;
};

TEST_F(PropertyListTest, XmlValuesBecomeQtValues)
{
    const std::optional<QVariantMap> map = PropertyList::dictionaryWithContentsOfFile(
        write(xmlPlist("<dict><key>text</key><string>a&lt;b \xC3\xBC</string>"
                       "<key>negative</key><integer>-5</integer>"
                       "<key>huge</key><integer>18446744073709551615</integer>"
                       "<key>real</key><real>2.5</real><key>yes</key><true/>"
                       "<key>data</key><data>AQI=</data>"
                       "<key>date</key><date>2001-01-01T00:00:10Z</date>"
                       "<key>list</key><array><integer>1</integer><dict/></array></dict>")));
    ASSERT_TRUE(map);
    EXPECT_EQ(map->value(u"text"_qs), u"a<b \u00FC"_qs);
    EXPECT_EQ(map->value(u"negative"_qs).typeId(), QMetaType::LongLong);
    EXPECT_EQ(map->value(u"negative"_qs).toLongLong(), -5);
    EXPECT_EQ(map->value(u"huge"_qs).typeId(), QMetaType::ULongLong);
    EXPECT_EQ(map->value(u"huge"_qs).toULongLong(), 18446744073709551615ULL);
    EXPECT_EQ(map->value(u"real"_qs), 2.5);
    EXPECT_EQ(map->value(u"yes"_qs), true);
    EXPECT_EQ(map->value(u"data"_qs), QByteArray("\x01\x02"));
    EXPECT_EQ(map->value(u"date"_qs),
              QDateTime(QDate(2001, 1, 1), QTime(0, 0, 10), QTimeZone::utc()));
    EXPECT_EQ(map->value(u"list"_qs), QVariantList({qlonglong(1), QVariantMap()}));
}

TEST_F(PropertyListTest, BinaryValuesBecomeQtValuesAndOtherKindsAreLeftOut)
{
    const std::optional<QVariantList> list = readArray(binaryPlist({
        arrayOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
        "\x10\x05",
        "\x13" + QByteArray(8, char(0xFF)),
        "\x14" + QByteArray(8, '\0') + QByteArray(8, char(0xFF)),
        "\x23" + realBytes(2.5),
        "\x09",
        QByteArray("\x42\x01\x02", 3),
        "\x33" + realBytes(10.0),
        "\x52"
        "ab",
        "\x80\x01", // a keyed-archive reference, which has no Qt value
        "\xD1\x0B\x0C",
        "\x51k",
        "\x51v",
    }));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 9);
    EXPECT_EQ(list->at(0).typeId(), QMetaType::LongLong);
    EXPECT_EQ(list->at(0).toLongLong(), 5);
    EXPECT_EQ(list->at(1).toLongLong(), -1);
    EXPECT_EQ(list->at(2).typeId(), QMetaType::ULongLong);
    EXPECT_EQ(list->at(2).toULongLong(), 18446744073709551615ULL);
    EXPECT_EQ(list->at(3), 2.5);
    EXPECT_EQ(list->at(4), true);
    EXPECT_EQ(list->at(5), QByteArray("\x01\x02"));
    EXPECT_EQ(list->at(6), QDateTime(QDate(2001, 1, 1), QTime(0, 0, 10), QTimeZone::utc()));
    EXPECT_EQ(list->at(7), u"ab"_qs);
    EXPECT_EQ(list->at(8), QVariantMap({{u"k"_qs, u"v"_qs}}));
}

TEST_F(PropertyListTest, TheRootMustBeOfTheKindAskedFor)
{
    const QString array = write(xmlPlist("<array/>"));
    EXPECT_EQ(PropertyList::arrayWithContentsOfFile(array), QVariantList());
    EXPECT_FALSE(PropertyList::dictionaryWithContentsOfFile(array));
    const QString dictionary = write(xmlPlist("<dict/>"));
    EXPECT_EQ(PropertyList::dictionaryWithContentsOfFile(dictionary), QVariantMap());
    EXPECT_FALSE(PropertyList::arrayWithContentsOfFile(dictionary));
    EXPECT_FALSE(PropertyList::arrayWithContentsOfFile(write(xmlPlist("<string>x</string>"))));
}

TEST_F(PropertyListTest, FilesThatAreNoPropertyListGiveNothing)
{
    const QByteArray binary = binaryPlist({arrayOf({1}), "\x10\x05"});
    for (const auto& [test, contents] :
         {std::pair{"Empty", QByteArray()},
          {"TruncatedXml", xmlPlist("<array><string>x</string></array>").chopped(20)},
          {"UnclosedXml", QByteArray("<plist><array><array>")},
          {"TruncatedBinary", binary.chopped(5)},
          {"BinaryMagicOnly", QByteArray("bplist00")},
          {"BinaryWithTableOutOfRange", binary.chopped(1) + char(0x7F)},
          {"Text", QByteArray("hello, world\n")},
          {"Zeros", QByteArray(4096, '\0')}}) {
        EXPECT_FALSE(readArray(contents)) << test;
    }
}

TEST_F(PropertyListTest, FilesThatCannotBeReadGiveNothing)
{
    tree.addUnreadable(u"socket.plist"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(tree.absolute(u"fifo.plist"_qs)).constData(), 0600), 0);
    tree.addFolder(u"folder.plist"_qs);
    for (const QString& path :
         {u"missing.plist"_qs, u"socket.plist"_qs, u"fifo.plist"_qs, u"folder.plist"_qs, u""_qs}) {
        EXPECT_FALSE(PropertyList::arrayWithContentsOfFile(tree.absolute(path)))
            << path.toStdString();
    }
    EXPECT_FALSE(PropertyList::arrayWithContentsOfFile(u""_qs));
}

// Padding in a comment makes a valid list of any size.
TEST_F(PropertyListTest, FilesLargerThanOneMebibyteAreNotRead)
{
    const QByteArray head = "<plist><array><string>x</string></array><!--";
    const QByteArray tail = "--></plist>";
    const qsizetype padding = PropertyList::MaximumFileSize - head.size() - tail.size();
    EXPECT_TRUE(readArray(head + QByteArray(padding, ' ') + tail));
    EXPECT_FALSE(readArray(head + QByteArray(padding + 1, ' ') + tail));
}

TEST_F(PropertyListTest, LevelsBeyondTheDepthCapAreDropped)
{
    for (const auto& [test, contents, levels] : {std::tuple{"XmlAtTheCap", nestedXml(64), 64},
                                                 {"XmlBeyondTheCap", nestedXml(65), 64},
                                                 {"XmlFarBeyondTheCap", nestedXml(400), 64},
                                                 {"BinaryBeyondTheCap", nestedBinary(400), 64}}) {
        EXPECT_EQ(nesting(readArray(contents).value_or(QVariantList())), levels) << test;
    }
}

// Each of these would make the parser run out of stack or memory, or loop.
TEST_F(PropertyListTest, HostileNestingIsRefusedBeforeParsing)
{
    std::vector<QByteArray> diamond;
    for (quint64 level = 1; level < 64; ++level) {
        diamond.push_back(arrayOf({level, level}));
    }
    diamond.push_back(arrayOf({}));
    for (const auto& [test, contents] :
         {std::pair{"XmlTooDeep", nestedXml(60000)},
          {"XmlTooDeepBehindClosingTagsInComments", nestedXml(600, "<!-- </array> -->")},
          {"BinaryTooDeep", nestedBinary(100000)},
          {"BinaryExpandingExponentially", binaryPlist(diamond)},
          {"BinaryReferringToItself", binaryPlist({arrayOf({0})})}}) {
        EXPECT_FALSE(readArray(contents)) << test;
    }
}

// Random damage to a valid binary list is survived: no crash, no hang.
TEST_F(PropertyListTest, DamagedBinaryListsAreSurvived)
{
    const QByteArray valid = binaryPlist({
        arrayOf({1, 2, 3}),
        "\x52"
        "ab",
        "\xD1\x04\x05",
        "\x10\x07",
        "\x51k",
        "\x51v",
    });
    QRandomGenerator random(20240611);
    for (int round = 0; round < 500; ++round) {
        QByteArray damaged = valid;
        for (int flip = 0; flip < 3; ++flip) {
            damaged[random.bounded(damaged.size())] = char(random.bounded(256));
        }
        readArray(damaged);
    }
}

} // namespace
} // namespace calidra
