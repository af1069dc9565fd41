// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegistryIterator.h"

namespace calidra {
namespace {

// A level of parents holds the one step up, or nothing at the plane's root.
const QByteArray ParentStep = QByteArrayLiteral("..");

} // namespace

RegistryIterator::RegistryIterator(RegistryHandle root, quint32 options)
    : m_root(std::move(root)), m_options(options)
{
    reset();
}

std::unique_ptr<RegistryIterator> RegistryIterator::create(const RegistryHandle& root,
                                                           const QString& plane, quint32 options)
{
    if (root.isNull() || root.plane() != plane) {
        return nullptr;
    }
    RegistryHandle start = root.duplicate();
    if (start.isNull()) {
        return nullptr;
    }
    return std::unique_ptr<RegistryIterator>(new RegistryIterator(std::move(start), options));
}

RegistryIterator::Level RegistryIterator::levelOf(RegistryHandle folder) const
{
    Level level;
    if (m_options & Parents) {
        if (!folder.isPlaneRoot()) {
            level.names.push_back(ParentStep);
        }
    } else {
        level.names = folder.childFolderNames();
    }
    level.folder = std::move(folder);
    return level;
}

RegistryHandle RegistryIterator::open(const Level& level, const QByteArray& name)
{
    return name == ParentStep ? level.folder.parent() : level.folder.child(name);
}

RegistryHandle RegistryIterator::nextOnLevel(Level& level)
{
    while (level.position < level.names.size()) {
        const QByteArray& name = level.names[level.position++];
        RegistryHandle entry = open(level, name);
        if (!entry.isNull()) {
            return entry;
        }
        m_valid = false;
    }
    return {};
}

RegistryHandle RegistryIterator::next()
{
    RegistryHandle entry = nextOnLevel(m_levels.back());
    while (entry.isNull() && (m_options & Recursively) && exitEntry()) {
        entry = nextOnLevel(m_levels.back());
    }
    m_hasCurrent = !entry.isNull();
    if (m_hasCurrent && (m_options & Recursively)) {
        m_levels.push_back(levelOf(entry.duplicate()));
        m_hasCurrent = false;
    }
    return entry;
}

void RegistryIterator::reset()
{
    m_levels.clear();
    m_levels.push_back(levelOf(m_root.duplicate()));
    m_hasCurrent = false;
    m_valid = true;
}

// The current entry is the last one handed out on the innermost level; it is
// opened again only when entered, so that plain iteration opens each entry once.
bool RegistryIterator::enterEntry()
{
    if (!m_hasCurrent) {
        return false;
    }
    const Level& level = m_levels.back();
    RegistryHandle current = open(level, level.names[level.position - 1]);
    if (current.isNull()) {
        m_valid = false;
        return false;
    }
    m_levels.push_back(levelOf(std::move(current)));
    m_hasCurrent = false;
    return true;
}

bool RegistryIterator::exitEntry()
{
    if (m_levels.size() <= 1) {
        return false;
    }
    m_levels.pop_back();
    m_hasCurrent = true;
    return true;
}

} // namespace calidra
