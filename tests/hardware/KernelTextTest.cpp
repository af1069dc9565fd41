// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/KernelText.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

TEST(KernelText, EveryByteBecomesACharacterAndNoneIsLost)
{
    EXPECT_EQ(decodeKernelText("GenuineIntel"), u"GenuineIntel"_qs);
    EXPECT_EQ(decodeKernelText("caf\xc3\xa9"), u"café"_qs);
    // Not UTF-8: each byte is one character, so nothing is replaced or dropped.
    EXPECT_EQ(decodeKernelText(QByteArrayView("a\xff\x80z", 4)), u"a\u00ff\u0080z"_qs);
    // The terminating zero byte of kernel text stays a character of its own.
    EXPECT_EQ(decodeKernelText(QByteArrayView("abcdef\0", 7)), u"abcdef\0"_qs);
    EXPECT_FALSE(decodeKernelText(QByteArrayView()).isNull());
}

} // namespace
} // namespace calidra
