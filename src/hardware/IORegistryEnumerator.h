// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "IORegistryEnumerator" walks sysfs folders; see docs/GLOSSARY.md.

#include "RegistryIterator.h"

#include <memory>
#include <vector>

namespace calidra {

class IORegistryEntry;

/// Hands out the entries of one registry iterator one by one, each as an
/// IORegistryEntry of its own that outlives the enumerator.
///
/// The empty enumerator (one whose iterator could not be made) yields
/// nothing, is never valid and cannot enter or exit entries.
class IORegistryEnumerator
{
public:
    /// Iteration options, passed through to the iterator.
    static constexpr quint32 IterateRecursively = RegistryIterator::Recursively;
    static constexpr quint32 IterateParents = RegistryIterator::Parents;

    /// An enumerator that takes over the iterator; null for a null iterator.
    static std::unique_ptr<IORegistryEnumerator>
    initWithKernelIterator(std::unique_ptr<RegistryIterator> iterator);
    /// An enumerator over the registry from `root` in `plane`; null when the
    /// root or the plane is absent, the empty enumerator when the root does
    /// not lie in the plane.
    static std::unique_ptr<IORegistryEnumerator>
    initRootedOn(const IORegistryEntry* root, const QString& plane, quint32 options);

    ~IORegistryEnumerator();

    /// The next entry; null at the end.
    std::unique_ptr<IORegistryEntry> nextObject();
    /// Every remaining entry, in order.
    std::vector<std::unique_ptr<IORegistryEntry>> allObjects();
    /// False once the registry changed under the iteration (an entry listed
    /// earlier vanished), until reset.
    bool isValid() const;
    void reset();
    bool enterEntry();
    bool exitEntry();

private:
    explicit IORegistryEnumerator(std::unique_ptr<RegistryIterator> iterator);

    std::unique_ptr<RegistryIterator> iterator;
};

} // namespace calidra
