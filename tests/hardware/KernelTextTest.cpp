#include "hardware/KernelText.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

TEST(KernelText, EveryByteBecomesACharacterAndNoneIsLost)
{
    EXPECT_EQ(decodeKernelText("GenuineIntel"), u"GenuineIntel"_qs);
    EXPECT_EQ(decodeKernelText("caf\xc3\xa9"), u"café"_qs);
    // Not UTF-8: each byte is one character, so nothing is replaced or dropped.
    const QString latin = decodeKernelText(QByteArrayView("a\xff\x80z", 4));
    ASSERT_EQ(latin.size(), 4);
    EXPECT_EQ(latin.at(1).unicode(), 0xff);
    EXPECT_EQ(latin.at(2).unicode(), 0x80);
    // The terminating zero byte of kernel text stays a character of its own.
    const QString withZero = decodeKernelText(QByteArrayView("abcdef\0", 7));
    ASSERT_EQ(withZero.size(), 7);
    EXPECT_EQ(withZero.back(), QChar(u'\0'));
    EXPECT_FALSE(decodeKernelText(QByteArrayView()).isNull());
}

} // namespace
} // namespace calidra
