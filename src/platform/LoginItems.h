// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace calidra {

/// The programs started when the user logs in, kept as desktop entries in an
/// autostart folder: an entry whose Name equals a program's name is a login
/// item of that program. The program passes the user's autostart folder
/// (userAutostartFolder); a test passes a folder of its own.
///
/// Failures are silent: a folder that cannot be read holds no item, and an
/// entry that cannot be written or removed is reported by false alone.
class LoginItems
{
public:
    /// The login items kept in `autostartFolder`; the folder need not exist.
    explicit LoginItems(QString autostartFolder);

    /// The user's autostart folder: "autostart" in the user's configuration
    /// folder (which honours XDG_CONFIG_HOME).
    static QString userAutostartFolder();

    /// Whether a login item named `name` exists.
    bool exists(const QString& name) const;

    /// Removes one login item named `name`; false when there was none or it
    /// could not be removed.
    bool remove(const QString& name) const;

    /// Adds a login item named `name` that starts `executable`, beside any
    /// that exist already. The entry is written completely before it appears.
    /// False, and nothing written, for an executable that canStart refuses.
    bool make(const QString& name, const QString& executable) const;

    /// Whether a login item can start `executable`. Desktops refuse to launch
    /// an Exec value holding "%", even written by the quoting rules; and a
    /// path decoded from bytes that are not UTF-8 holds replacement
    /// characters, so the entry (which is UTF-8) would name another file. A
    /// path that really holds a replacement character names an existing file
    /// and is kept.
    static bool canStart(const QString& executable);

    /// `argument` as one argument of a desktop entry's Exec value: quoted, with
    /// the quoting and the value's own escapes applied, so that any path that
    /// canStart accepts starts the program it names.
    static QString quoteExecArgument(const QString& argument);

private:
    QString entryNamed(const QString& name) const;
    QString freeEntryPath() const;

    QString m_folder;
};

} // namespace calidra
