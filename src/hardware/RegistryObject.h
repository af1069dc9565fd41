// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariant>

#include <memory>

namespace calidra {

class IORegistryEntry;

/// What a registry path leads to: an entry, a property value, or nothing
/// (absent: neither is set).
struct RegistryObject
{
    RegistryObject();
    explicit RegistryObject(std::unique_ptr<IORegistryEntry> entry);
    explicit RegistryObject(QVariant value);
    RegistryObject(RegistryObject&&) noexcept;
    RegistryObject& operator=(RegistryObject&&) noexcept;
    ~RegistryObject();

    bool isAbsent() const { return !entry && !value.isValid(); }

    std::unique_ptr<IORegistryEntry> entry;
    QVariant value;
};

} // namespace calidra
