// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegistryObject.h"

#include "IORegistryEntry.h"

namespace calidra {

RegistryObject::RegistryObject() = default;

RegistryObject::RegistryObject(std::unique_ptr<IORegistryEntry> found) : entry(std::move(found))
{}

RegistryObject::RegistryObject(QVariant found) : value(std::move(found))
{}

RegistryObject::RegistryObject(RegistryObject&&) noexcept = default;
RegistryObject& RegistryObject::operator=(RegistryObject&&) noexcept = default;
RegistryObject::~RegistryObject() = default;

} // namespace calidra
