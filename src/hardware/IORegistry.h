// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "IORegistry" is the hardware registry over sysfs; see docs/GLOSSARY.md.

#include "RegistryHandle.h"
#include "support/ProcessWide.h"

#include <QString>

#include <optional>

namespace calidra {

/// The hardware registry of this machine, read from sysfs below a system
/// root: the one process-wide registry that the class-level operations of
/// IORegistryEntry reach. The program creates it over "/" at start-up; a test
/// creates one over a fixture tree.
///
/// Used on the main thread only.
class IORegistry : public ProcessWide<IORegistry>
{
public:
    explicit IORegistry(QString systemRoot);

    /// The process-wide registry; null when none exists.
    static IORegistry* masterPort() { return current(); }

    const QString& systemRoot() const { return m_systemRoot; }

    /// The handle of the entry named by a registry path: a plane name, a colon
    /// and a "/"-separated path of folder names in that plane ("IOService:/"
    /// is the plane's root). Null for an unknown plane, a malformed path, a
    /// step that is not a plain folder name, or a folder that does not exist.
    RegistryHandle handleFromPath(const QString& registryPath) const;

    /// The machine model identifier once it has been read, kept for the run.
    const std::optional<QString>& cachedMachineModel() const { return m_machineModel; }
    void cacheMachineModel(const QString& model) { m_machineModel = model; }

private:
    QString m_systemRoot;
    std::optional<QString> m_machineModel;
};

} // namespace calidra
