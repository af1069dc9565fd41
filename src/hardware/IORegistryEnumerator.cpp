// SPDX-License-Identifier: GPL-3.0-or-later
#include "IORegistryEnumerator.h"

#include "IORegistryEntry.h"

namespace calidra {

IORegistryEnumerator::IORegistryEnumerator(std::unique_ptr<RegistryIterator> taken)
    : iterator(std::move(taken))
{}

IORegistryEnumerator::~IORegistryEnumerator() = default;

std::unique_ptr<IORegistryEnumerator>
IORegistryEnumerator::initWithKernelIterator(std::unique_ptr<RegistryIterator> iterator)
{
    if (!iterator) {
        return nullptr;
    }
    return std::unique_ptr<IORegistryEnumerator>(new IORegistryEnumerator(std::move(iterator)));
}

std::unique_ptr<IORegistryEnumerator>
IORegistryEnumerator::initRootedOn(const IORegistryEntry* root, const QString& plane,
                                   quint32 options)
{
    if (!root || plane.isNull()) {
        return nullptr;
    }
    return std::unique_ptr<IORegistryEnumerator>(
        new IORegistryEnumerator(RegistryIterator::create(root->kernelEntry(), plane, options)));
}

std::unique_ptr<IORegistryEntry> IORegistryEnumerator::nextObject()
{
    return iterator ? IORegistryEntry::initWithKernelEntry(iterator->next()) : nullptr;
}

std::vector<std::unique_ptr<IORegistryEntry>> IORegistryEnumerator::allObjects()
{
    std::vector<std::unique_ptr<IORegistryEntry>> entries;
    entries.reserve(16);
    while (std::unique_ptr<IORegistryEntry> entry = nextObject()) {
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool IORegistryEnumerator::isValid() const
{
    return iterator && iterator->isValid();
}

void IORegistryEnumerator::reset()
{
    if (iterator) {
        iterator->reset();
    }
}

bool IORegistryEnumerator::enterEntry()
{
    return iterator && iterator->enterEntry();
}

bool IORegistryEnumerator::exitEntry()
{
    return iterator && iterator->exitEntry();
}

} // namespace calidra
