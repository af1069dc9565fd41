// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FixtureTree.h"
#include "platform/Bundle.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace calidra {

/// The bytes of a file that ships in resources/, for tests that put the real
/// data into their fixture bundle.
inline QByteArray shippedFile(const char* path)
{
    QFile file(QString::fromUtf8(CALIDRA_SHIPPED_RESOURCES) + u'/' + QString::fromUtf8(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll();
}

/// A throw-away bundle folder, the main bundle while the object lives, with
/// resource files written by the test.
class FixtureBundle
{
public:
    /// Writes `<resourcePath>/<fileName>`.
    void addResource(const QString& fileName, const QByteArray& contents)
    {
        tree.addFile(u"Calidra/Resources/"_qs + fileName, contents);
    }

    /// An XML property list around `body`, the text of its root element.
    static QByteArray xml(const QByteArray& body)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
               "</plist>\n";
    }

    // The tree first: the bundle is made over it.
    FixtureTree tree;
    Bundle bundle{tree.absolute(u"Calidra"_qs)};
};

} // namespace calidra
