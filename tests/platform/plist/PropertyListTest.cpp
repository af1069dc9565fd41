// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/plist/PropertyList.h"

#include "FixtureBundle.h"
#include "QtPrinters.h"

#include <QDateTime>
#include <QtEndian>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace calidra {
namespace {

constexpr auto xml = &FixtureBundle::xml;

QByteArray be32(std::vector<quint32> values)
{
    qToBigEndian<quint32>(values.data(), qsizetype(values.size()), values.data());
    return QByteArray(reinterpret_cast<const char*>(values.data()), qsizetype(values.size() * 4));
}

// Objects, 0 the root, with four-byte offsets and references.
QByteArray binary(const std::vector<QByteArray>& objects)
{
    QByteArray bytes = "bplist00";
    QByteArray offsets;
    for (const QByteArray& object : objects) {
        offsets += be32({quint32(bytes.size())});
        bytes += object;
    }
    return bytes + offsets +
           be32({0, 0x0404, 0, quint32(objects.size()), 0, 0, 0, quint32(bytes.size())});
}

// `depth` arrays, each holding the next `width` times.
QByteArray nestedBinary(quint32 depth, quint32 width = 1)
{
    std::vector<QByteArray> objects(depth, "\xA0");
    for (quint32 level = 1; level < depth; ++level) {
        objects[level - 1] = char(0xA0 | width) + be32(std::vector<quint32>(width, level));
    }
    return binary(objects);
}

QByteArray nestedXml(int depth, const QByteArray& afterEachOpening = {})
{
    return xml(QByteArray("<array>" + afterEachOpening).repeated(depth) +
               QByteArray("</array>").repeated(depth));
}

template <typename Reader>
auto read(Reader reader, const QByteArray& contents)
{
    FixtureTree tree;
    tree.addFile(u"file.plist"_qs, contents);
    return reader(tree.absolute(u"file.plist"_qs));
}

auto readArray(const QByteArray& contents)
{
    return read(&PropertyList::arrayWithContentsOfFile, contents);
}

TEST(PropertyListTest, XmlAndBinaryListsReadIntoQtValuesUpToTheDepthCap)
{
    const QVariantList expected({u"x<y"_qs, qlonglong(-5), qulonglong(~0ULL), 2.5, true,
                                 QByteArray("\x01\x02"), QVariantMap{{u"k"_qs, true}},
                                 QDateTime::fromString(u"2001-01-01T00:00:10Z"_qs, Qt::ISODate)});
    const QByteArray xmlList = xml(
        "<array><string>x&lt;y</string><integer>-5</integer><integer>18446744073709551615</integer>"
        "<real>2.5</real><true/><data>AQI=</data><dict><key>k</key><true/></dict>"
        "<date>2001-01-01T00:00:10Z</date></array>");
    // The binary list also holds a keyed-archive reference, which has no Qt value.
    const QByteArray binaryList = binary(
        {"\xA9" + be32({1, 2, 3, 4, 5, 6, 7, 8, 9}), "\x53x<y", "\x13" + be32({~0U, ~4U}),
         "\x14" + be32({0, 0, ~0U, ~0U}), "\x23" + be32({0x40040000, 0}), "\x09", "\x42\x01\x02",
         "\xD1" + be32({10, 5}), "\x33" + be32({0x40240000, 0}), "\x80\x01", "\x51k"});
    for (const QByteArray& contents : {xmlList, binaryList}) {
        const QVariantList list = readArray(contents).value_or(QVariantList());
        EXPECT_EQ(list, expected); // which takes -1 and 2^64 - 1 as equal
        EXPECT_EQ(list.value(1).typeId(), QMetaType::LongLong);
        EXPECT_EQ(list.value(2).typeId(), QMetaType::ULongLong);
    }
    EXPECT_TRUE(readArray(xml("<array/>").leftJustified(PropertyList::MaximumFileSize)));
    EXPECT_EQ(readArray(nestedXml(65)), readArray(nestedXml(64))); // level 65 dropped
    EXPECT_NE(readArray(nestedXml(64)), readArray(nestedXml(63)));
}

TEST(PropertyListTest, WhatIsNoAdmissibleArrayListGivesNothing)
{
    FixtureTree tree;
    ASSERT_EQ(::mkfifo(tree.absolute(u"fifo"_qs).toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(PropertyList::arrayWithContentsOfFile(tree.absolute(u"fifo"_qs)));
    EXPECT_FALSE(PropertyList::arrayWithContentsOfFile(tree.absolute(u"missing"_qs)));
    // The last four would make the parser run out of stack or memory, or loop.
    for (const auto& [test, contents] :
         {std::pair{"Empty", QByteArray()},
          {"Truncated", nestedBinary(1).chopped(5)},
          {"Garbage", QByteArray("hello, world\n")},
          {"DictionaryRoot", xml("<dict/>")},
          {"OffsetTableOutOfRange", nestedBinary(1).chopped(1) + '\x7F'},
          {"OverOneMebibyte", xml("<array/>").leftJustified(PropertyList::MaximumFileSize + 1)},
          {"XmlTooDeepEvenBehindClosingTagsInComments", nestedXml(600, "<!-- </array> -->")},
          {"BinaryTooDeep", nestedBinary(100000)},
          {"BinaryExpandingExponentially", nestedBinary(64, 2)},
          {"BinaryReferringToItself", binary({"\xA1" + be32({0})})}}) {
        EXPECT_FALSE(readArray(contents)) << test;
    }
}

// The parser cannot hand back a key holding U+0000: it aborts on one in UTF-16
// form and cuts one in ASCII form or in XML at the zero.
TEST(PropertyListTest, DictionaryKeysHoldingZeroGiveNothing)
{
    const QByteArray utf16Key = QByteArray::fromHex("62706c6973743030d101026200e90000100108"
                                                    "0b100000000000000101000000000000000300"
                                                    "000000000000000000000000000012");
    const auto dictionary = [](const QByteArray& key, const QByteArray& value) {
        return binary({"\xD1" + be32({1, 2}), key, value});
    };
    for (const auto& [test, contents] :
         {std::pair{"Utf16KeyEndingInZero", utf16Key},
          {"Utf16KeyOfZero", dictionary(QByteArray("\x61\0\0", 3), "\x09")},
          {"AsciiKeyWithZero", dictionary(QByteArray("\x53\x61\0\x62", 4), "\x09")},
          {"XmlKeyWithZeroByte", xml(QByteArray("<dict><key>a\0b</key><true/></dict>", 34))},
          {"XmlKeyWithZeroReference", xml("<dict><key>a&#0;b</key><true/></dict>")}}) {
        EXPECT_FALSE(read(&PropertyList::dictionaryWithContentsOfFile, contents)) << test;
    }
    // Zero characters in values are kept.
    EXPECT_EQ(read(&PropertyList::dictionaryWithContentsOfFile,
                   dictionary(QByteArray("\x61\0\xe9", 3), QByteArray("\x62\0a\0\0", 5))),
              (QVariantMap{{u"\u00e9"_qs, QString(u"a\u0000"_qs)}}));
}

} // namespace
} // namespace calidra
