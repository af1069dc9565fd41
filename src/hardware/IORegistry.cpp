// SPDX-License-Identifier: GPL-3.0-or-later
#include "IORegistry.h"

#include <QFile>

namespace calidra {

IORegistry::IORegistry(QString systemRoot) : m_systemRoot(std::move(systemRoot))
{}

RegistryHandle IORegistry::handleFromPath(const QString& registryPath) const
{
    const qsizetype colon = registryPath.indexOf(u':');
    if (colon <= 0 || registryPath.mid(colon + 1, 1) != u"/") {
        return {};
    }
    RegistryHandle entry = RegistryHandle::openPlaneRoot(m_systemRoot, registryPath.left(colon));
    const QStringList steps = registryPath.mid(colon + 1).split(u'/', Qt::SkipEmptyParts);
    for (const QString& step : steps) {
        if (entry.isNull()) {
            break;
        }
        entry = entry.child(QFile::encodeName(step));
    }
    return entry;
}

} // namespace calidra
