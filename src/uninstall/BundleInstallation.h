// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace calidra {

/// What installed a bundle, and what it left in the user's folders: how the
/// bundle is removed when it cannot go to the Trash, and which of the user's
/// launcher and command link go with it. Paths of the system (the package
/// database, /usr) are read below a system root, "/" for the program.
class BundleInstallation
{
public:
    explicit BundleInstallation(QString bundlePath, QString systemRoot = u"/"_qs);

    /// The main bundle's installation, read below the registry's system root
    /// ("/" without a registry); absent without a main bundle.
    static std::optional<BundleInstallation> ofMainBundle();

    /// Whether the package manager installed the bundle: its file list of
    /// the "calidra" package names the bundle folder, or the bundle lies below
    /// /usr but not /usr/local, where only packages install.
    bool isPackaged() const;

    /// The terminal command that removes the installation: the package
    /// manager's for a package; otherwise "rm -r" of the bundle and of the
    /// command link, launcher and icon that an install put beside it (an
    /// install prefix whose bin/calidra links into the bundle), with "sudo"
    /// when the user may not change a folder that holds them.
    QString removalCommand() const;

    /// The launcher ($XDG_DATA_HOME/applications/calidra.desktop) whose Exec
    /// starts this bundle's executable, and the link ~/.local/bin/calidra
    /// when it points into the bundle; nothing else. Asked while the bundle
    /// is still in place.
    QStringList userEntries() const;

private:
    bool isInBundle(const QString& path) const;
    QString installPrefix() const;
    QString systemPath(const char* path) const;

    QString m_bundlePath;
    QString m_systemRoot;
};

} // namespace calidra
