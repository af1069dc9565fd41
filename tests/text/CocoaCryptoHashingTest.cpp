// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/CocoaCryptoHashing.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

using Hashing = CocoaCryptoHashing;

TEST(CocoaCryptoHashing, KnownDigestsOfBytesAndOfTheSameText)
{
    // clang-format off
    const struct { QByteArray input; QString md5, sha1; } cases[] = {
        {QByteArray(""), u"d41d8cd98f00b204e9800998ecf8427e"_qs,
         u"da39a3ee5e6b4b0d3255bfef95601890afd80709"_qs},
        {QByteArray("abc"), u"900150983cd24fb0d6963f7d28e17f72"_qs,
         u"a9993e364706816aba3e25717850c26c9cd0d89d"_qs},
        {QByteArray("a\0b", 3), u"70350f6027bce3713f6b76473084309b"_qs,
         u"4a3dec2d1f8245280855c42db0ee4239f917fdb8"_qs},
        {QByteArray("caf\xc3\xa9 \xf0\x9f\x98\x80"), u"77363a4752ff4d95e47ec96c6b215330"_qs,
         u"ab8e85e7526cb2649cf26ad178ce0cc491b70da7"_qs},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.toHex().toStdString());
        EXPECT_EQ(Hashing::md5HexHash(c.input), c.md5);
        EXPECT_EQ(Hashing::sha1HexHash(c.input), c.sha1);
        EXPECT_EQ(Hashing::md5Hash(c.input), QByteArray::fromHex(c.md5.toLatin1()));
        EXPECT_EQ(Hashing::sha1Hash(c.input), QByteArray::fromHex(c.sha1.toLatin1()));
        const QString text = QString::fromUtf8(c.input);
        EXPECT_EQ(Hashing::md5HexHash(text), c.md5);
        EXPECT_EQ(Hashing::sha1Hash(text), Hashing::sha1Hash(c.input));
    }
}

TEST(CocoaCryptoHashing, AbsentInputAndLoneSurrogatesHaveNoDigest)
{
    const QChar high(0xd800), low(0xdc00);
    const std::optional<QByteArray> absent;
    EXPECT_FALSE(Hashing::md5Hash(absent) || Hashing::md5HexHash(absent) ||
                 Hashing::sha1Hash(absent) || Hashing::sha1HexHash(absent));
    for (const QString& text : {u"a"_qs + high + u"b"_qs, u"a"_qs + high, low + u"a"_qs}) {
        EXPECT_FALSE(Hashing::md5Hash(text) || Hashing::md5HexHash(text) ||
                     Hashing::sha1Hash(text) || Hashing::sha1HexHash(text));
    }
}

} // namespace
} // namespace calidra
