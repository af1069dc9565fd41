// SPDX-License-Identifier: GPL-3.0-or-later
// The parsers of kernel text: integers, the online-processor list,
// /proc/cpuinfo and the decoding of names and values. Besides crashes, it
// checks what their contracts promise: a processor list counts at least one,
// and decoding keeps every byte.

#include "hardware/CpuInfo.h"
#include "hardware/KernelNumber.h"
#include "hardware/KernelText.h"
#include "hardware/OnlineProcessors.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const bool endsInLineFeed = !text.empty() && text.back() == '\n';
    check(calidra::withoutLineFeed(text) == text.substr(0, size - (endsInLineFeed ? 1 : 0)));
    if (const std::optional<qint64> number = calidra::parseKernelInteger(text)) {
        (void)calidra::narrowToInt32(*number);
        (void)calidra::roundThousandths(*number);
    }
    if (const auto processors = calidra::OnlineProcessors::parse(text)) {
        check(processors->count() >= 1);
    }
    (void)calidra::cpuinfoProcessorCount(text);
    (void)calidra::cpuinfoMegahertz(text);

    const QByteArray bytes(text.data(), qsizetype(size));
    const QString decoded = calidra::decodeKernelText(bytes);
    check((bytes.isValidUtf8() ? decoded.toUtf8() : decoded.toLatin1()) == bytes);
    return 0;
}
