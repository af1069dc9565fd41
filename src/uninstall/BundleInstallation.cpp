// SPDX-License-Identifier: GPL-3.0-or-later
#include "BundleInstallation.h"

#include "hardware/IORegistry.h"
#include "platform/Bundle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <unistd.h>

namespace calidra {
namespace {

constexpr char LauncherName[] = "calidra.desktop";

QString dataHome()
{
    const QString configured = qEnvironmentVariable("XDG_DATA_HOME");
    return QDir::isAbsolutePath(configured) ? QDir::cleanPath(configured)
                                            : QDir::homePath() + u"/.local/share"_qs;
}

// What an install puts below its prefix besides the bundle, relative to it.
QStringList installedBesideTheBundle()
{
    QStringList paths{u"/bin/calidra"_qs,
                      u"/share/applications/"_qs + QString::fromLatin1(LauncherName),
                      u"/share/icons/hicolor/scalable/apps/calidra.svg"_qs,
                      u"/share/metainfo/org.calidra.Calidra.metainfo.xml"_qs,
                      u"/share/man/man1/calidra.1.gz"_qs,
                      u"/share/doc/calidra"_qs};
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        paths.append(u"/share/icons/hicolor/%1x%1/apps/calidra.png"_qs.arg(size));
    }
    return paths;
}

QString userBinFolder()
{
    return QDir::homePath() + u"/.local/bin"_qs;
}

// A path as one word of a POSIX shell command.
QString shellWord(const QString& path)
{
    static const QRegularExpression plain(u"^[A-Za-z0-9_./+@%,:=-]+$"_qs);
    if (plain.match(path).hasMatch()) {
        return path;
    }
    return u'\'' + QString(path).replace(u'\'', u"'\\''"_qs) + u'\'';
}

// The value of the Exec key of a desktop entry's main group, its escapes
// undone.
QString execValue(const QByteArray& contents)
{
    bool inMainGroup = false;
    for (const QByteArray& rawLine : contents.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == u"[Desktop Entry]"_qs;
        } else if (inMainGroup && line.section(u'=', 0, 0).trimmed() == u"Exec"_qs) {
            QString value = line.section(u'=', 1).trimmed();
            return value.replace(u"\\s"_qs, u" "_qs).replace(u"\\\\"_qs, u"\\"_qs);
        }
    }
    return {};
}

// The program an Exec value starts: its first argument, quoted or not.
QString execProgram(const QString& exec)
{
    if (!exec.startsWith(u'"')) {
        return exec.section(u' ', 0, 0);
    }
    QString program;
    for (qsizetype i = 1; i < exec.size() && exec[i] != u'"'; ++i) {
        if (exec[i] == u'\\' && i + 1 < exec.size()) {
            ++i;
        }
        program += exec[i];
    }
    return program;
}

// Where a desktop finds a program named without a folder: the user's bin
// folder first, then PATH.
QString findProgram(const QString& program)
{
    if (program.isEmpty() || program.contains(u'/')) {
        return program;
    }
    const QString inUserBin = QStandardPaths::findExecutable(program, {userBinFolder()});
    return inUserBin.isEmpty() ? QStandardPaths::findExecutable(program) : inUserBin;
}

bool isWritableFolder(const QString& path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

} // namespace

BundleInstallation::BundleInstallation(QString bundlePath, QString systemRoot)
    : m_bundlePath(QDir::cleanPath(std::move(bundlePath))),
      m_systemRoot(QDir::cleanPath(std::move(systemRoot)))
{}

QString BundleInstallation::systemPath(const char* path) const
{
    return QDir::cleanPath(m_systemRoot + u'/' + QString::fromLatin1(path));
}

std::optional<BundleInstallation> BundleInstallation::ofMainBundle()
{
    const Bundle* bundle = Bundle::mainBundle();
    if (!bundle) {
        return std::nullopt;
    }
    const IORegistry* registry = IORegistry::masterPort();
    return BundleInstallation(bundle->bundlePath(), registry ? registry->systemRoot() : u"/"_qs);
}

bool BundleInstallation::isPackaged() const
{
    const QString underUsr = systemPath("usr") + u'/';
    if (m_bundlePath.startsWith(underUsr) &&
        !m_bundlePath.startsWith(systemPath("usr/local") + u'/')) {
        return true;
    }
    QFile list(systemPath("var/lib/dpkg/info/calidra.list"));
    if (!list.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QString root = m_systemRoot == u"/"_qs ? QString() : m_systemRoot;
    for (const QByteArray& line : list.readAll().split('\n')) {
        if (root + QFile::decodeName(line) == m_bundlePath) {
            return true;
        }
    }
    return false;
}

bool BundleInstallation::isInBundle(const QString& path) const
{
    const QString canonicalBundle = QFileInfo(m_bundlePath).canonicalFilePath();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const auto within = [](const QString& inner, const QString& outer) {
        return !outer.isEmpty() && (inner == outer || inner.startsWith(outer + u'/'));
    };
    return within(QDir::cleanPath(path), m_bundlePath) ||
           (!canonical.isEmpty() && within(canonical, canonicalBundle));
}

QString BundleInstallation::installPrefix() const
{
    for (QDir folder(QFileInfo(m_bundlePath).path()); !folder.isRoot() && folder.cdUp();) {
        const QFileInfo link(folder.filePath(u"bin/calidra"_qs));
        if (link.isSymLink() && isInBundle(link.symLinkTarget())) {
            return folder.path();
        }
    }
    return {};
}

QString BundleInstallation::removalCommand() const
{
    if (isPackaged()) {
        return u"sudo apt remove calidra"_qs;
    }
    QStringList paths{m_bundlePath};
    if (const QString prefix = installPrefix(); !prefix.isEmpty()) {
        for (const QString& installed : installedBesideTheBundle()) {
            if (QFileInfo(prefix + installed).exists() ||
                QFileInfo(prefix + installed).isSymLink()) {
                paths.append(prefix + installed);
            }
        }
    }
    bool needsAdministrator = false;
    QStringList words{u"rm"_qs, u"-r"_qs};
    for (const QString& path : paths) {
        needsAdministrator = needsAdministrator || !isWritableFolder(QFileInfo(path).path());
        words.append(shellWord(path));
    }
    return (needsAdministrator ? u"sudo "_qs : QString()) + words.join(u' ');
}

QStringList BundleInstallation::userEntries() const
{
    QStringList entries;
    const QString launcher = dataHome() + u"/applications/"_qs + QString::fromLatin1(LauncherName);
    QFile launcherFile(launcher);
    if (launcherFile.open(QIODevice::ReadOnly)) {
        const QString program = execProgram(execValue(launcherFile.readAll()));
        const QString started = findProgram(program);
        if (!program.isEmpty() && !started.isEmpty() && isInBundle(started)) {
            entries.append(launcher);
        }
    }
    const QFileInfo link(userBinFolder() + u"/calidra"_qs);
    if (link.isSymLink() && isInBundle(link.symLinkTarget())) {
        entries.append(link.filePath());
    }
    return entries;
}

} // namespace calidra
