// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RegistryHandle.h"
#include "RegistryObject.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <optional>

namespace calidra {

class IORegistryEnumerator;

/// One entry of the hardware registry: a sysfs folder, seen as an object with
/// a name, a location, a path in its plane, properties (its readable regular
/// files) and children (its sub-folders). The entry owns one handle on its
/// folder and closes it when destroyed.
///
/// Property values are numbers (qlonglong) for files that hold one decimal
/// integer, text (QString) for other UTF-8 files, and byte strings
/// (QByteArray) for the rest and for every device-tree property; one trailing
/// line feed is dropped. The root entry of "IOService" also has the property
/// "model" (see MachineModel::property).
///
/// Failures are silent: absent results (null pointers, std::nullopt, invalid
/// QVariant) and nothing else. Used on the main thread only.
class IORegistryEntry
{
public:
    /// The plane of the machine's device tree, and so of every path query
    /// that the program makes.
    static const QString ServicePlane;

    /// An entry that takes over the handle; null for the null handle.
    static std::unique_ptr<IORegistryEntry> initWithKernelEntry(RegistryHandle entry);
    /// The root of the "IOService" plane of the process-wide registry.
    static std::unique_ptr<IORegistryEntry> rootEntry();
    /// The entry that a registry path ("IOService:/platform/coretemp.0") names.
    static std::unique_ptr<IORegistryEntry> entryFromPath(const QString& path);

    /// The machine model identifier: the "model" property of the root entry of
    /// "IOService" without its terminating zero byte (see MachineModel). Read
    /// once and kept for the run; absent (and read again next time) while
    /// there is none.
    static std::optional<QString> machineModel();

    /// The result of an absolute registry path in a plane, from its root.
    static RegistryObject objectFromXPath(const QString& path, const QString& plane);
    /// The entry that an absolute path in "IOService" leads to; null when it
    /// leads to a property value or to nothing.
    static std::unique_ptr<IORegistryEntry> entryFromXPath(const QString& path);

    IORegistryEntry(const IORegistryEntry&) = delete;
    IORegistryEntry& operator=(const IORegistryEntry&) = delete;
    ~IORegistryEntry();

    const RegistryHandle& kernelEntry() const { return m_entry; }

    /// The entry's direct children (or its one parent) in the plane; null
    /// when the entry is not in that plane.
    std::unique_ptr<IORegistryEnumerator> childEnumeratorOnPlane(const QString& plane) const;
    std::unique_ptr<IORegistryEnumerator> parentEnumeratorOnPlane(const QString& plane) const;

    std::optional<QString> name() const;
    std::optional<QString> nameInPlane(const QString& plane) const;
    /// Absent for an entry without a location, or not in the plane.
    std::optional<QString> locationInPlane(const QString& plane) const;
    /// "IOService:/platform/coretemp.0"; absent when not in the plane.
    std::optional<QString> pathInPlane(const QString& plane) const;

    /// Every property, read now; absent when the folder cannot be listed.
    std::optional<QVariantMap> properties() const;
    /// The property that a key path names. Registry values are never nested
    /// here, so a key path names something only when it is one plain file
    /// name (no "/", not "." or ".."); absent otherwise or when unreadable.
    QVariant propertyForKey(const QString& keyPath) const;
    /// "IORegistryEntry" and the text form of the property table.
    QString description() const;

    /// The result of a relative registry path in a plane, from this entry.
    RegistryObject objectFromRelativeXPath(const QString& path, const QString& plane) const;

private:
    explicit IORegistryEntry(RegistryHandle entry);

    std::unique_ptr<IORegistryEntry> duplicate() const;
    bool hasMachineModel() const;
    QVariant propertyNamed(const QByteArray& name) const;
    RegistryObject _objectFromRelativeXPathComponents(QStringList& steps,
                                                      const QString& plane) const;
    RegistryObject entryStep(const QString& step, QStringList& steps, const QString& plane) const;

    RegistryHandle m_entry;
};

} // namespace calidra
