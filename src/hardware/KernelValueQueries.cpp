// SPDX-License-Identifier: GPL-3.0-or-later
#include "KernelValueQueries.h"

#include "KernelText.h"
#include "KernelValues.h"

namespace calidra {

qint32 querySysctlValueAsInt(const char* name)
{
    KernelValues* const values = KernelValues::current();
    return values ? values->integerValue(name).value_or(0) : 0;
}

std::optional<QString> querySysctlValueAsString(const char* name)
{
    KernelValues* const values = KernelValues::current();
    const std::optional<QByteArray> bytes = values ? values->bytesValue(name) : std::nullopt;
    return bytes ? std::optional<QString>(decodeKernelText(*bytes)) : std::nullopt;
}

} // namespace calidra
