// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

#include <utility>

namespace calidra {

/// The last few things a face showed, each with what showing it took (a
/// drawn icon, its pictures), so that one that comes back is shown without
/// that work: a temperature wanders about its mean, and the same few values
/// come back again and again. Keeps at most `Count`; the one used longest ago
/// goes first. `Key` needs ==. Main thread only.
template <typename Key, typename Value, qsizetype Count>
class RecentlyShown
{
public:
    /// What `key` took, when it is kept; null otherwise. Found, it is kept
    /// the longest from now on.
    const Value* find(const Key& key)
    {
        for (qsizetype i = 0; i < m_kept.size(); ++i) {
            if (m_kept[i].first == key) {
                m_kept.move(i, m_kept.size() - 1);
                return &m_kept.last().second;
            }
        }
        return nullptr;
    }

    /// Keeps `value` for `key`, which must not be kept yet.
    const Value& keep(Key key, Value value)
    {
        if (m_kept.size() >= Count) {
            m_kept.removeFirst();
        }
        m_kept.append({std::move(key), std::move(value)});
        return m_kept.last().second;
    }

private:
    QList<std::pair<Key, Value>> m_kept;
};

} // namespace calidra
