// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RegistryHandle.h"

#include <QtGlobal>

#include <vector>

namespace calidra {

/// A registry iterator: walks the children (or the parents) of one folder in
/// a plane, one level or, with Recursively, depth first through the whole
/// tree below (or above) it. It keeps an open handle on each level it is in.
///
/// The names of a level are listed when the level is entered; an entry that
/// vanishes before it is reached is passed over and makes the iterator
/// invalid until it is reset.
class RegistryIterator
{
public:
    enum Option : quint32 { Recursively = 1, Parents = 2 };

    /// An iterator from `root` with the given options; null when `root` is
    /// null or does not lie in `plane`.
    static std::unique_ptr<RegistryIterator> create(const RegistryHandle& root,
                                                    const QString& plane, quint32 options);

    /// The next entry; null at the end.
    RegistryHandle next();
    /// Starts again from the beginning, with fresh listings.
    void reset();
    /// False once an entry listed earlier has vanished.
    bool isValid() const { return m_valid; }
    /// Makes the next entries those of the last entry returned; false when
    /// there is none.
    bool enterEntry();
    /// Leaves the level last entered; false at the first level.
    bool exitEntry();

private:
    struct Level
    {
        RegistryHandle folder;
        std::vector<QByteArray> names;
        size_t position = 0;
    };

    RegistryIterator(RegistryHandle root, quint32 options);
    Level levelOf(RegistryHandle folder) const;
    static RegistryHandle open(const Level& level, const QByteArray& name);
    RegistryHandle nextOnLevel(Level& level);

    RegistryHandle m_root;
    quint32 m_options;
    std::vector<Level> m_levels;
    bool m_hasCurrent = false;
    bool m_valid = true;
};

} // namespace calidra
