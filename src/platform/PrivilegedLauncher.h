#pragma once

#include "support/ProcessWide.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>

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

    /// Starts `tool` (an absolute path) with `arguments`, writes
    /// `standardInput` to the tool's standard input and closes it, and
    /// returns at once, without waiting for the password dialog or the tool.
    /// The bytes are handed over as they are given, so what runs is what the
    /// caller holds, whatever becomes of any file they came from. 0 when the
    /// launch was started; non-zero when it could not be.
    virtual int launch(const QString& tool, const QStringList& arguments,
                       const QByteArray& standardInput) = 0;

    /// Waits, with the event loop running so that windows keep painting but
    /// without taking the user's input, until every launch that this launcher
    /// started has ended. True when none is left; false when `timeout` passed
    /// first or a termination request left the wait.
    virtual bool waitForFinished(std::chrono::milliseconds timeout) = 0;

protected:
    PrivilegedLauncher() = default;
};

} // namespace calidra
