#include "RegistryObject.h"

#include "IORegistryEntry.h"

namespace calidra {

RegistryObject::RegistryObject() = default;

RegistryObject::RegistryObject(std::unique_ptr<IORegistryEntry> entry) : entry(std::move(entry))
{}

RegistryObject::RegistryObject(QVariant value) : value(std::move(value))
{}

RegistryObject::RegistryObject(RegistryObject&&) noexcept = default;
RegistryObject& RegistryObject::operator=(RegistryObject&&) noexcept = default;
RegistryObject::~RegistryObject() = default;

} // namespace calidra
