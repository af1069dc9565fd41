// SPDX-License-Identifier: GPL-3.0-or-later
#include "SensorValue.h"

#include <QByteArray>
#include <QString>

#include <charconv>
#include <cmath>

namespace calidra {
namespace {

std::optional<float> finite(float value)
{
    return std::isfinite(value) ? std::optional(value) : std::nullopt;
}

// from_chars reads the number regardless of the process locale; it takes no
// leading "+" of its own, and "nan" and "inf" are turned away as not finite.
std::optional<float> leadingNumber(const QString& text)
{
    QByteArray bytes = text.trimmed().toLatin1();
    if (bytes.startsWith('+')) {
        bytes.remove(0, 1);
    }
    float value = 0.0F;
    const auto [end, error] =
        std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
    return error == std::errc() ? finite(value) : std::nullopt;
}

} // namespace

std::optional<float> SensorValue::floatValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return finite(value.toFloat());
    case QMetaType::QString:
        return leadingNumber(value.toString());
    default:
        return std::nullopt;
    }
}

} // namespace calidra
