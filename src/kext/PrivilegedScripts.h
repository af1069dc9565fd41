// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "SpeedIt" is the processor temperature driver at boot; see docs/GLOSSARY.md.

#include "platform/PrivilegedLauncher.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace calidra {

/// How long the status script may run before it is killed.
inline constexpr std::chrono::milliseconds StatusScriptTimeout = std::chrono::seconds(5);
/// How much of a script's standard output is kept; the rest is read and dropped.
inline constexpr qsizetype MaximumScriptOutput = 64 * 1024;

/// Runs "/bin/sh" with `arguments` (first the script's path) as the user and
/// waits for it: its standard output, decoded as UTF-8 and trimmed of Unicode
/// white space at both ends. Standard input and standard error stay the
/// program's own. Only the first MaximumScriptOutput bytes are kept. A child
/// still running after `timeout` is killed and its output counts as empty; a
/// shell that cannot start gives empty output too. Absent when the kept bytes
/// are not valid UTF-8 (a cut inside a character included).
std::optional<QString>
runShellScriptWithArguments(const QStringList& arguments,
                            std::chrono::milliseconds timeout = StatusScriptTimeout);

/// Whether the component is installed, from the main bundle's
/// "Scripts/statSpeedIt.sh": the integer at the start of its trimmed output
/// (optional sign, decimal digits), clamped to 32 bits; non-zero means
/// installed. 0 for empty, absent or non-numeric output, a missing script or
/// no main bundle. The exit status is not read.
qint32 statSpeedIt(std::chrono::milliseconds timeout = StatusScriptTimeout);

/// Runs the main bundle's "Scripts/installAndRunSpeedItLaunchDaemon.sh" as
/// the superuser after checking it against its digest compiled into the
/// program: through the package's root helper with "install" when the bundle
/// has one (_runAuthorizedHelperAt), otherwise by handing it to a root shell
/// (_runAuthorizedShellScriptAt). Does not wait for the script;
/// once it has ended, a failure to load the driver (pkexec missing, no agent,
/// the password dialog dismissed, not authorized, the script failing) is told
/// in an alert (tellDriverLoadOutcome), a success is not.
bool installAndRunSpeedItLaunchDaemon();

/// Runs the main bundle's "Scripts/uninstallSpeedItLaunchDaemon.sh" the same
/// way, against its own compiled digest (the helper's argument is
/// "uninstall"), and tells nothing of its outcome.
/// Does not wait for the script either; the current PrivilegedLauncher can be
/// asked to.
bool uninstallSpeedItLaunchDaemon();

// The operations below are private to the privileged scripts and are declared
// here for their tests only.

/// The 20-byte SHA-1 digest of the regular file at `path`. Absent when it
/// cannot be read, is not a regular file or is larger than any script that
/// ships (more than 64 KiB), so such a file never matches.
std::optional<QByteArray> _checksumForFile(const QString& path);

/// Brings the program to the front and starts `tool` with `arguments` through
/// the current privileged launcher, which writes `standardInput` to the
/// tool's standard input: 0 when it started, non-zero when it could not start
/// or no launcher exists. The launcher hands the outcome to `onFinished`, if
/// set; without a launcher it is never called.
int _performAuthorizedCommand(const QString& tool, const QStringList& arguments,
                              const QByteArray& standardInput,
                              PrivilegedLauncher::OutcomeHandler onFinished);

/// Reads the file at `path` once and, when the digest of those bytes equals
/// `expectedDigest`, hands exactly those bytes to the privileged launch of
/// "/bin/sh -s", which reads its script from standard input (so a script must
/// not read standard input itself); the path is never handed over, so a file
/// changed after the check is not what runs.
/// A missing, unreadable or different file shows the critical tamper alert
/// first: "Cancel" (the default) or no answer runs nothing and gives false;
/// "Proceed Anyway" runs the bytes that were read, or, when no file could be
/// read, nothing at all (and asks for no password). True once the user did
/// not decline, whatever the launch's outcome, which goes to `onFinished`.
bool _runAuthorizedShellScriptAt(const QString& path, const QByteArray& expectedDigest,
                                 PrivilegedLauncher::OutcomeHandler onFinished);

/// Launches the root helper at `helper` with the one `argument` and nothing on
/// its standard input. A helper that is not trusted (DriverHelper::isTrusted)
/// is refused with a critical alert before anything runs, and gives false.
/// When the helper's bytes or those of `scriptPath`, the script it will run,
/// differ from their compiled digests, the tamper alert asks first, as for
/// _runAuthorizedShellScriptAt. True once the user did not decline.
bool _runAuthorizedHelperAt(const QString& helper, const QString& argument,
                            const QString& scriptPath, const QByteArray& expectedDigest,
                            PrivilegedLauncher::OutcomeHandler onFinished);

} // namespace calidra
