// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/Settings.h"

#include "hardware/TemperatureInputIdentity.h"

#include <QVariant>

namespace calidra::Settings {
namespace {

template <typename Key>
void addFallback(QVariantMap& fallbacks)
{
    if constexpr (requires { Key::fallback; }) {
        fallbacks.insert(Key::name,
                         QVariant::fromValue(static_cast<typename Key::Type>(Key::fallback)));
    }
}

} // namespace

QString TemperatureSensor::value(const QString& stored)
{
    const std::optional<TemperatureInputIdentity> identity =
        TemperatureInputIdentity::fromText(stored);
    return identity ? identity->text() : automatic;
}

QVariantMap registeredFallbacks()
{
    QVariantMap fallbacks;
    std::apply([&fallbacks](auto... key) { (addFallback<decltype(key)>(fallbacks), ...); }, All{});
    return fallbacks;
}

} // namespace calidra::Settings
