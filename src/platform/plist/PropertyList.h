// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

namespace calidra {

/// Reads property-list files, XML or binary, into Qt values: a dict becomes a
/// QVariantMap, an array a QVariantList, a string a QString, an integer a
/// qlonglong (a qulonglong when it is unsigned and beyond qlonglong), a real a
/// double, a boolean a bool, data a QByteArray and a date a QDateTime in UTC.
/// Values of other kinds are left out, and so are containers nested deeper
/// than MaximumDepth levels (the root is level 1).
///
/// Failures give absent results and nothing else.
class PropertyList
{
public:
    /// The largest file read; a larger one is not read at all.
    static constexpr qint64 MaximumFileSize = 1024 * 1024;
    /// The deepest container level kept; deeper ones are dropped.
    static constexpr int MaximumDepth = 64;

    /// The array at the root of the property list in the file at `path`.
    /// Absent when the file is missing, not a regular file, unreadable, larger
    /// than MaximumFileSize, not a property list (empty, truncated, garbage,
    /// or refused by PropertyListGuard), or when its root is not an array.
    static std::optional<QVariantList> arrayWithContentsOfFile(const QString& path);

    /// The dictionary at the root of the property list in the file at `path`;
    /// absent in the same cases, and when its root is not a dictionary.
    static std::optional<QVariantMap> dictionaryWithContentsOfFile(const QString& path);

private:
    static QVariant contentsOfFile(const QString& path);
};

} // namespace calidra
