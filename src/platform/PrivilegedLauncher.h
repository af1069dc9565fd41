#pragma once

#include "platform/ProcessWide.h"

#include <QString>
#include <QStringList>

namespace calidra {

/// Starts a tool as the superuser after the system has asked the user for an
/// administrator's password. The program creates one process-wide instance
/// (PkexecLauncher); a test creates its own that records what it is given.
///
/// Used on the main thread only.
class PrivilegedLauncher : public ProcessWide<PrivilegedLauncher>
{
public:
    virtual ~PrivilegedLauncher();

    /// The process-wide launcher; null when none exists.
    static PrivilegedLauncher* shared() { return current(); }

    /// Starts `tool` (an absolute path) with `arguments` and returns at once,
    /// without waiting for the password dialog or the tool. 0 when the launch
    /// was started; non-zero when it could not be.
    virtual int launch(const QString& tool, const QStringList& arguments) = 0;

protected:
    PrivilegedLauncher() = default;
};

} // namespace calidra
