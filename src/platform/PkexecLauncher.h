#pragma once

#include "platform/PrivilegedLauncher.h"

namespace calidra {

/// The program's privileged launch: `pkexec TOOL ARGUMENTS...`, started
/// detached so that it runs on after the program has quit; the desktop's
/// authentication agent asks for the password.
class PkexecLauncher : public PrivilegedLauncher
{
public:
    /// The command line that runs `tool` with `arguments` as the superuser:
    /// "pkexec", the tool, then the arguments in order, each one entry.
    static QStringList pkexecCommand(const QString& tool, const QStringList& arguments);

    /// The command line that is started detached: a shell that runs
    /// pkexecCommand and stays alive until it ends.
    static QStringList detachedCommand(const QString& tool, const QStringList& arguments);

    /// Starts detachedCommand; 0 when it started, 1 when it could not be
    /// started (no shell). A refused password is not seen here.
    int launch(const QString& tool, const QStringList& arguments) override;
};

} // namespace calidra
