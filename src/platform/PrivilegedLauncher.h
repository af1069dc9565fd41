// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ProcessWide.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

namespace calidra {

/// Starts a tool as the superuser after the system has asked the user for an
/// administrator's password. The program creates one process-wide instance
/// (PkexecLauncher); a test creates its own that records what it is given.
///
/// Used on the main thread only.
class PrivilegedLauncher : public ProcessWide<PrivilegedLauncher>
{
public:
    /// How one launch ended.
    struct Outcome
    {
        enum class Kind {
            /// The tool ran and exited with status 0.
            Succeeded,
            /// The program that asks for the password could not be started.
            NotStarted,
            /// The user closed the password dialog without giving a password.
            Dismissed,
            /// No password was accepted, or this user may not act as an
            /// administrator, or the authorization could not be obtained.
            NotAuthorized,
            /// No authentication agent runs that could ask for the password.
            NoAgent,
            /// The service that grants the authorization could not be reached.
            NoAuthority,
            /// The tool ran and failed, or was ended by a signal.
            Failed,
        };

        Kind kind = Kind::Succeeded;
        /// The start of what the launch wrote on its standard error, at most
        /// MaximumStandardError bytes.
        QByteArray standardError;

        bool operator==(const Outcome&) const = default;
    };

    /// Hears of the outcome of one launch, from the event loop.
    using OutcomeHandler = std::function<void(const Outcome&)>;

    /// How much of a launch's standard error is kept; the rest is read and dropped.
    static constexpr qsizetype MaximumStandardError = 4096;

    virtual ~PrivilegedLauncher();

    /// The process-wide launcher; null when none exists.
    static PrivilegedLauncher* shared() { return current(); }

    /// Starts `tool` (an absolute path) with `arguments`, writes
    /// `standardInput` to the tool's standard input and closes it, and
    /// returns at once, without waiting for the password dialog or the tool.
    /// The bytes are handed over as they are given, so what runs is what the
    /// caller holds, whatever becomes of any file they came from. 0 when the
    /// launch was started; non-zero when it could not be.
    /// `onFinished`, when set, is called once with the outcome, always later
    /// from the event loop (a launch that could not start included), never
    /// while a launch is ended because the launcher is destroyed.
    virtual int launch(const QString& tool, const QStringList& arguments,
                       const QByteArray& standardInput, OutcomeHandler onFinished) = 0;

    /// Waits, with the event loop running so that windows keep painting but
    /// without taking the user's input, until every launch that this launcher
    /// started has ended. True when none is left; false when `timeout` passed
    /// first or a termination request left the wait.
    virtual bool waitForFinished(std::chrono::milliseconds timeout) = 0;

protected:
    PrivilegedLauncher() = default;
};

} // namespace calidra
