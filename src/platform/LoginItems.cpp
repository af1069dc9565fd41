// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoginItems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace calidra {
namespace {

const QString EntryGroup = u"[Desktop Entry]"_qs;

// The Name value of the main group of the desktop entry at `path`; empty when
// there is none. Only the one key matters, so only it is read.
QString entryName(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    QTextStream in(&file);
    bool inMainGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == EntryGroup;
        } else if (inMainGroup && line.startsWith(u"Name"_qs)) {
            const QString rest = line.mid(4).trimmed();
            if (rest.startsWith(u'=')) {
                return rest.mid(1).trimmed();
            }
        }
    }
    return {};
}

// The escapes of a desktop entry's string values.
QString escapedValue(const QString& text)
{
    QString escaped;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            escaped += u"\\\\"_qs;
            break;
        case u'\n':
            escaped += u"\\n"_qs;
            break;
        case u'\t':
            escaped += u"\\t"_qs;
            break;
        case u'\r':
            escaped += u"\\r"_qs;
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

LoginItems::LoginItems(QString autostartFolder) : m_folder(std::move(autostartFolder))
{}

QString LoginItems::userAutostartFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           u"/autostart"_qs;
}

bool LoginItems::exists(const QString& name) const
{
    return !entryNamed(name).isEmpty();
}

bool LoginItems::remove(const QString& name) const
{
    const QString path = entryNamed(name);
    return !path.isEmpty() && QFile::remove(path);
}

bool LoginItems::make(const QString& name, const QString& executable) const
{
    if (!canStart(executable) || !QDir().mkpath(m_folder)) {
        return false;
    }
    QSaveFile file(freeEntryPath());
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QString entry = EntryGroup + u"\nType=Application\nName="_qs + escapedValue(name) +
                          u"\nExec="_qs + quoteExecArgument(executable) + u"\n"_qs;
    file.write(entry.toUtf8());
    return file.commit();
}

bool LoginItems::canStart(const QString& executable)
{
    return !executable.contains(u'%') &&
           (!executable.contains(QChar::ReplacementCharacter) || QFileInfo::exists(executable));
}

QString LoginItems::quoteExecArgument(const QString& argument)
{
    QString quoted = u"\""_qs;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            quoted += u'\\';
        }
        quoted += c;
    }
    return escapedValue(quoted + u'"');
}

QString LoginItems::entryNamed(const QString& name) const
{
    const QDir folder(m_folder);
    for (const QString& file : folder.entryList({u"*.desktop"_qs}, QDir::Files, QDir::Name)) {
        if (entryName(folder.filePath(file)) == name) {
            return folder.filePath(file);
        }
    }
    return {};
}

QString LoginItems::freeEntryPath() const
{
    const QDir folder(m_folder);
    QString path = folder.filePath(u"calidra.desktop"_qs);
    for (int n = 2; QFile::exists(path); ++n) {
        path = folder.filePath(u"calidra-%1.desktop"_qs.arg(n));
    }
    return path;
}

} // namespace calidra
