#include "PkexecLauncher.h"

#include <QProcess>

namespace calidra {

QStringList PkexecLauncher::pkexecCommand(const QString& tool, const QStringList& arguments)
{
    return QStringList{u"pkexec"_qs, tool} + arguments;
}

QStringList PkexecLauncher::detachedCommand(const QString& tool, const QStringList& arguments)
{
    // A detached process is handed to init or a session subreaper. pkexec
    // refuses to serve an orphan and asks the authentication agent about its
    // parent, so a shell of the user's session waits as that parent. The
    // command after it keeps the shell from replacing itself with pkexec.
    return QStringList{u"/bin/sh"_qs, u"-c"_qs, u"\"$@\"; exit $?"_qs, u"sh"_qs} +
           pkexecCommand(tool, arguments);
}

int PkexecLauncher::launch(const QString& tool, const QStringList& arguments)
{
    const QStringList command = detachedCommand(tool, arguments);
    return QProcess::startDetached(command.first(), command.mid(1)) ? 0 : 1;
}

} // namespace calidra
