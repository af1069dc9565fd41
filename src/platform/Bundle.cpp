// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bundle.h"

#include <QFileInfo>

#include <utility>

namespace calidra {
namespace {

bool isPlainPart(const QString& part)
{
    return !part.isEmpty() && part != u"." && part != u".." && !part.contains(u'/') &&
           !part.contains(QChar(u'\0'));
}

} // namespace

Bundle::Bundle(QString bundlePath) : m_bundlePath(std::move(bundlePath))
{}

QString Bundle::resourcePath() const
{
    return m_bundlePath + u"/Resources"_qs;
}

std::optional<QString> Bundle::pathForResource(const QString& name, const QString& type) const
{
    if (!isPlainPart(name) || !isPlainPart(type)) {
        return std::nullopt;
    }
    const QString path = resourcePath() + u'/' + name + u'.' + type;
    const QFileInfo file(path);
    if (!file.isFile()) {
        return std::nullopt;
    }
    return path;
}

} // namespace calidra
