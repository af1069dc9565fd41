// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "Bundle" is the program's folder with Resources/; see docs/GLOSSARY.md.

#include "support/ProcessWide.h"

#include <QString>

#include <optional>

namespace calidra {

/// The program's bundle: the folder that holds the executable and its
/// "Resources" folder of data files. The program creates its bundle at
/// start-up from the executable's folder; a test creates one over a folder of
/// its own. The newest bundle is the main bundle until it is destroyed.
///
/// Used on the main thread only.
class Bundle : public ProcessWide<Bundle>
{
public:
    /// A bundle over `bundlePath`; the folder need not exist.
    explicit Bundle(QString bundlePath);

    /// The process-wide bundle; null when none exists.
    static Bundle* mainBundle() { return current(); }

    /// The bundle's folder as given.
    const QString& bundlePath() const { return m_bundlePath; }
    /// The folder of the bundle's data files: bundlePath + "/Resources".
    QString resourcePath() const;

    /// The path of the data file `<resourcePath>/<name>.<type>`. Absent when
    /// no regular file is there, and for a name or type that is empty, is "."
    /// or "..", or holds a "/" or a zero character, so that no resource name
    /// can reach outside the resource folder.
    std::optional<QString> pathForResource(const QString& name, const QString& type) const;

private:
    QString m_bundlePath;
};

} // namespace calidra
