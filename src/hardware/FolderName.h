// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace calidra {

/// The registry name and location that a sysfs folder name stands for.
///
/// "base@unit" (device tree), "base.N" and "baseN" (N decimal digits, base not
/// empty and not ending in a digit) are named "base" at location "unit" or "N";
/// any other folder name is the name itself, with no location. So
/// "thermal_zone0" is "thermal_zone" at 0 and "coretemp.0" is "coretemp" at 0.
class FolderName
{
public:
    static FolderName parse(QByteArrayView folder);

    const QString& name() const { return m_name; }
    const std::optional<QString>& location() const { return m_location; }

    /// Puts folder names in enumeration order: by name, then by location read
    /// as a number, then by the folder name itself, so that the order is stable.
    static void sort(std::vector<QByteArray>& folders);

private:
    FolderName(QString name, std::optional<QString> location);

    QString m_name;
    std::optional<QString> m_location;
};

} // namespace calidra
