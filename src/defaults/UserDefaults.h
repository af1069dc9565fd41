// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ProcessWide.h"

#include <QMap>
#include <QObject>
#include <QSet>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

namespace calidra {

/// The user's persistent preferences: a key-value store kept in an INI file,
/// under a registration layer of fallback values that lives in memory only.
/// A stored value wins over a registered one. Reads never fail: a key with no
/// usable value gives the registered fallback, else false, 0 or 0.0. Writes
/// and removals are written to the file at once when they can be and
/// announced through valueChanged when they change a key's effective value.
///
/// Keys are flat names. The empty key and keys holding "/" or "\\" (which the
/// INI file would read as groups) are never stored: reads find no stored
/// value under them and writes and removals leave the file alone.
///
/// Nothing here waits without end. Only a regular file of at most 1 MiB is
/// read: anything else at the path (a FIFO, a folder, a device, a larger file,
/// for which one line goes to stderr) gives an empty store, and the path is
/// left alone for the whole run, so no setting kept there is lost. A change
/// is written under the file's lock ("<file>.lock"); when that lock cannot be
/// taken within about a second (held, stale in a folder that cannot be
/// written, or not a regular file), the change is kept in memory and written
/// at the next write or synchronize() that can take it. A file that cannot be
/// written keeps its values in memory, so they still read back within the
/// run. Lines of the file that are not settings are dropped at the next
/// write; the settings around them are kept.
///
/// The newest store is the process-wide one (see ProcessWide). Used on the
/// main thread only.
class UserDefaults : public QObject, public ProcessWide<UserDefaults>
{
    Q_OBJECT

public:
    /// The store kept in the INI file at filePath. The file is created at the
    /// first write; a missing file reads as an empty store.
    explicit UserDefaults(const QString& filePath, QObject* parent = nullptr);

    /// Writes the changes still kept in memory (see synchronize()).
    ~UserDefaults() override;

    /// The path of the user's own settings file, "Calidra/Calidra.conf" in the
    /// user's configuration folder (XDG_CONFIG_HOME, else ~/.config). Touches
    /// no file.
    static QString standardFilePath();

    /// Earlier versions kept the settings in "Calidra.ini": when nothing is at
    /// `filePath` and a regular file of that name stands beside it, it is
    /// renamed to `filePath`, once. Gives the path to read: `filePath`, or the
    /// old file when it could not be moved, so that no setting is lost.
    /// Anything but a regular file at the old name is left alone. Opens no file.
    static QString adoptLegacyFile(const QString& filePath);

    /// The process-wide store; null when none exists.
    static UserDefaults* standardUserDefaults() { return current(); }

    /// The path of the INI file that keeps this store's values.
    QString fileName() const { return m_settings ? m_settings->fileName() : m_filePath; }

    /// Adds the values of fallbacks to the registration layer, replacing
    /// earlier registrations of the same keys. Nothing is written to the file
    /// and no change is announced.
    void registerDefaults(const QVariantMap& fallbacks);

    /// The effective value of key: the stored value (always text, as the file
    /// keeps it), else the registered one, else an invalid QVariant when the
    /// key has neither. This is the presence test.
    QVariant objectForKey(const QString& key) const;

    /// The value of key read as a bool: "true"/"yes" and "false"/"no" in any
    /// case, or a number (non-zero is true). A value that cannot be read so
    /// gives the registered value read the same way, else false.
    bool boolForKey(const QString& key) const;

    /// The value of key read as a decimal integer; a decimal fraction is
    /// truncated toward zero and a number beyond the range of qint64 is
    /// clamped to it. Text that is no finite number ("nan", "inf", empty,
    /// garbage) gives the registered value read the same way, else 0.
    qint64 integerForKey(const QString& key) const;

    /// The value of key read as a decimal number; a number beyond the range
    /// of float is clamped to it. Text that is no finite number gives the
    /// registered value read the same way, else 0.0.
    float floatForKey(const QString& key) const;

    /// The value of key as text, as the file keeps it. A value that is no
    /// text (an INI list, unquoted commas) gives the registered value, else
    /// the empty text.
    QString stringForKey(const QString& key) const;

    /// Stores value under key as "true" or "false".
    void setBool(bool value, const QString& key);

    /// Stores value under key as a decimal integer.
    void setInteger(qint64 value, const QString& key);

    /// Stores value under key as the shortest decimal text that reads back
    /// as the same float. A value that is not finite is not stored, since it
    /// could not be read back as a number.
    void setFloat(float value, const QString& key);

    /// The value of the setting Key (a type of defaults/Settings.h) read as
    /// Key::Type as the reads above do, then put through Key::value: it
    /// always keeps the setting's rule.
    template <typename Key>
    typename Key::Type value() const
    {
        using Type = typename Key::Type;
        if constexpr (std::is_same_v<Type, bool>) {
            return Key::value(boolForKey(Key::name));
        } else if constexpr (std::is_same_v<Type, qint64>) {
            return Key::value(integerForKey(Key::name));
        } else if constexpr (std::is_same_v<Type, QString>) {
            return Key::value(stringForKey(Key::name));
        } else {
            static_assert(std::is_same_v<Type, float>);
            return Key::value(floatForKey(Key::name));
        }
    }

    /// Stores value put through Key::value under Key's name, as the writes
    /// above do.
    template <typename Key>
    void setValue(typename Key::Type value)
    {
        using Type = typename Key::Type;
        if constexpr (std::is_same_v<Type, bool>) {
            setBool(Key::value(value), Key::name);
        } else if constexpr (std::is_same_v<Type, qint64>) {
            setInteger(Key::value(value), Key::name);
        } else if constexpr (std::is_same_v<Type, QString>) {
            setString(Key::value(value), Key::name);
        } else {
            static_assert(std::is_same_v<Type, float>);
            setFloat(Key::value(value), Key::name);
        }
    }

    /// Stores value under key as it is.
    void setString(const QString& value, const QString& key);

    /// Removes the stored value of key; the registered value, if any, shows
    /// through again.
    void removeObjectForKey(const QString& key);

    /// Writes the changes kept in memory to the file if its lock can be taken
    /// within about a second; otherwise they stay in memory for a later try.
    void synchronize();

    /// Whether changes reach the file, as far as the store knows without
    /// looking again: not when the path held something that is not read (see
    /// the class), nor when the last write tried found the lock unavailable,
    /// nor once the file refused a write. Before the first write the file
    /// counts as writable. Either way the changes read back within the run.
    bool isWritable() const;

    /// Calls handler with the new effective value each time valueChanged is
    /// emitted for key, for as long as context lives. With a null context or
    /// an empty handler nothing is connected and the connection is invalid.
    QMetaObject::Connection observe(const QString& key, const QObject* context,
                                    std::function<void(const QVariant&)> handler);

signals:
    /// Emitted after a write or removal through this store changed the
    /// effective value of key; newValue is the new effective value (see
    /// objectForKey). Changes made to the file by anyone else are not seen.
    void valueChanged(const QString& key, const QVariant& newValue);

private:
    QVariant storedValue(const QString& key) const;
    template <typename T>
    T typedValue(const QString& key, std::optional<T> (*read)(const QVariant&)) const;
    void changeStored(const QString& key, const std::optional<QString>& text);
    bool canWrite() const;

    QString m_filePath;
    /// Null when the path held something that is not read (see the class).
    std::unique_ptr<QSettings> m_settings;
    /// Changes not written yet: the new text, or no text for a removal.
    QMap<QString, std::optional<QString>> m_unwritten;
    /// Whether the last write tried found the file, its folder and its lock usable.
    bool m_writeAllowed = true;
    QVariantMap m_registered;
    /// The keys whose stored text was found unreadable and logged, once each.
    mutable QSet<QString> m_unreadableLogged;
};

} // namespace calidra
