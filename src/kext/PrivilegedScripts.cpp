// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrivilegedScripts.h"

#include "formatting/ObjectFormat.h"
#include "hardware/SysfsFile.h"
#include "kext/DriverHelper.h"
#include "kext/DriverLoadAlerts.h"
#include "kext/ScriptDigests.h"
#include "platform/Alerts.h"
#include "platform/ApplicationActivation.h"
#include "platform/Bundle.h"
#include "platform/Localization.h"
#include "platform/PrivilegedLauncher.h"
#include "text/CocoaCryptoHashing.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace calidra {
namespace {

const QString Shell = u"/bin/sh"_qs;

// The absolute path of a script below the main bundle's resources; absent
// without a main bundle.
std::optional<QString> scriptPath(const QString& relativePath)
{
    const Bundle* bundle = Bundle::mainBundle();
    if (!bundle) {
        return std::nullopt;
    }
    return bundle->resourcePath() + u'/' + relativePath;
}

void keep(QByteArray& kept, const QByteArray& chunk)
{
    kept += chunk.first(std::min(chunk.size(), MaximumScriptOutput - kept.size()));
}

// Everything the child writes until it ends, the first MaximumScriptOutput
// bytes kept; nothing when it outlives the deadline and is killed.
QByteArray collectOutput(QProcess& process, QDeadlineTimer deadline)
{
    QByteArray kept;
    while (process.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            // The whole group, so that no child of the script lives on; never
            // group 0, which would be the program's own.
            if (const pid_t group = pid_t(process.processId()); group > 0) {
                ::kill(-group, SIGKILL);
            }
            process.kill();
            process.waitForFinished(-1);
            return {};
        }
        process.waitForReadyRead(int(std::min<qint64>(deadline.remainingTime(), INT32_MAX)));
        keep(kept, process.readAllStandardOutput());
    }
    keep(kept, process.readAllStandardOutput());
    return kept;
}

// The integer at the start of the text after white space, clamped to 32 bits.
qint32 leadingInteger(QStringView text)
{
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace()) {
        ++at;
    }
    const bool negative = at < text.size() && text[at] == u'-';
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) {
        ++at;
    }
    qint64 value = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        value = std::min<qint64>(value * 10 + (text[at].unicode() - u'0'), qint64(INT32_MAX) + 1);
    }
    return qint32(std::clamp<qint64>(negative ? -value : value, INT32_MIN, INT32_MAX));
}

// The whole regular file, up to 64 KiB; absent otherwise.
std::optional<QByteArray> readScript(const QString& path)
{
    return SysfsFile::readAt(AT_FDCWD, QFile::encodeName(path).constData(),
                             SysfsFile::Links::Follow);
}

bool proceedDespiteTampering()
{
    const Alerts::Request tamperAlert{
        localizedString(QT_TRANSLATE_NOOP("Calidra", "Privileged operation failed.")),
        localizedString(QT_TRANSLATE_NOOP(
            "Calidra", "The application seems to have been tampered with. Please reinstall "
                       "Calidra.\n\nContinuing may put your computer at severe risk. It is "
                       "strongly recommended not to proceed.")),
        {localizedString(QT_TRANSLATE_NOOP("Calidra", "Cancel")),
         localizedString(QT_TRANSLATE_NOOP("Calidra", "Proceed Anyway"))},
        true};
    return Alerts::run(tamperAlert) == 1;
}

// A helper that others than root could have changed is never run, whatever
// the user answers, so this alert offers nothing but OK.
void tellUntrustedHelper(const QString& helper)
{
    Alerts::run({localizedString(QT_TRANSLATE_NOOP("Calidra", "Privileged operation failed.")),
                 stringWithFormat(localizedFormat(QT_TRANSLATE_NOOP(
                                      "Calidra", "Calidra's driver helper (%@) is not owned by the "
                                                 "administrator or can be changed by other users, "
                                                 "so Calidra does not run it. Please reinstall "
                                                 "Calidra.")),
                                  {helper}),
                 {localizedString(QT_TRANSLATE_NOOP("Calidra", "OK"))},
                 true});
}

QByteArray digestBytes(const std::array<unsigned char, 20>& digest)
{
    return QByteArray(reinterpret_cast<const char*>(digest.data()), qsizetype(digest.size()));
}

// Through the package's root helper when the bundle has one, else by handing
// the checked script to a root shell.
bool runPrivilegedScript(const QString& relativePath, const std::array<unsigned char, 20>& digest,
                         const QString& helperArgument,
                         PrivilegedLauncher::OutcomeHandler onFinished)
{
    const std::optional<QString> path = scriptPath(relativePath);
    if (!path) {
        return false;
    }
    if (const std::optional<QString> helper = DriverHelper::pathInMainBundle()) {
        return _runAuthorizedHelperAt(*helper, helperArgument, *path, digestBytes(digest),
                                      std::move(onFinished));
    }
    return _runAuthorizedShellScriptAt(*path, digestBytes(digest), std::move(onFinished));
}

} // namespace

std::optional<QString> runShellScriptWithArguments(const QStringList& arguments,
                                                   std::chrono::milliseconds timeout)
{
    QProcess process;
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The script leads a process group of its own, which a timeout kills whole.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    const QDeadlineTimer deadline(timeout);
    process.start(Shell, arguments, QIODevice::ReadOnly);
    process.waitForStarted(int(std::min<qint64>(deadline.remainingTime(), INT32_MAX)));
    const QByteArray output = collectOutput(process, deadline);
    if (!output.isValidUtf8()) {
        return std::nullopt;
    }
    return QString::fromUtf8(output).trimmed();
}

qint32 statSpeedIt(std::chrono::milliseconds timeout)
{
    const std::optional<QString> path = scriptPath(u"Scripts/statSpeedIt.sh"_qs);
    const std::optional<QString> output =
        path ? runShellScriptWithArguments({*path}, timeout) : std::nullopt;
    return output ? leadingInteger(*output) : 0;
}

bool installAndRunSpeedItLaunchDaemon()
{
    return runPrivilegedScript(u"Scripts/installAndRunSpeedItLaunchDaemon.sh"_qs,
                               InstallScriptDigest, u"install"_qs, tellDriverLoadOutcome);
}

bool uninstallSpeedItLaunchDaemon()
{
    return runPrivilegedScript(u"Scripts/uninstallSpeedItLaunchDaemon.sh"_qs, UninstallScriptDigest,
                               u"uninstall"_qs, {});
}

std::optional<QByteArray> _checksumForFile(const QString& path)
{
    return CocoaCryptoHashing::sha1Hash(readScript(path));
}

int _performAuthorizedCommand(const QString& tool, const QStringList& arguments,
                              const QByteArray& standardInput,
                              PrivilegedLauncher::OutcomeHandler onFinished)
{
    activateIgnoringOtherApps();
    PrivilegedLauncher* launcher = PrivilegedLauncher::shared();
    return launcher ? launcher->launch(tool, arguments, standardInput, std::move(onFinished)) : -1;
}

bool _runAuthorizedShellScriptAt(const QString& path, const QByteArray& expectedDigest,
                                 PrivilegedLauncher::OutcomeHandler onFinished)
{
    // Read once: the digest is taken of these bytes and the root shell is
    // given these bytes, so a file changed meanwhile changes nothing.
    const std::optional<QByteArray> script = readScript(path);
    if (CocoaCryptoHashing::sha1Hash(script) != expectedDigest && !proceedDespiteTampering()) {
        return false;
    }
    // Without a file there is nothing to run, and no password to ask for.
    if (script) {
        _performAuthorizedCommand(Shell, {u"-s"_qs}, *script, std::move(onFinished));
    }
    return true;
}

bool _runAuthorizedHelperAt(const QString& helper, const QString& argument,
                            const QString& scriptPath, const QByteArray& expectedDigest,
                            PrivilegedLauncher::OutcomeHandler onFinished)
{
    if (!DriverHelper::isTrusted(helper)) {
        tellUntrustedHelper(helper);
        return false;
    }
    const bool intact = _checksumForFile(helper) == digestBytes(HelperDigest) &&
                        _checksumForFile(scriptPath) == expectedDigest;
    if (!intact && !proceedDespiteTampering()) {
        return false;
    }
    // No shell and no script on standard input: pkexec starts the helper by
    // its path, which the polkit action names, with an empty environment.
    _performAuthorizedCommand(helper, {argument}, {}, std::move(onFinished));
    return true;
}

} // namespace calidra
