// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace calidra {

FixtureTree::FixtureTree()
{
    EXPECT_TRUE(m_dir.isValid()) << "cannot create a temporary folder";
}

QString FixtureTree::root() const
{
    return m_dir.path();
}

QString FixtureTree::absolute(const QString& path) const
{
    return m_dir.filePath(path);
}

void FixtureTree::makeParent(const QString& path)
{
    const QString parent = QFileInfo(absolute(path)).path();
    EXPECT_TRUE(QDir().mkpath(parent)) << "cannot create " << parent.toStdString();
}

void FixtureTree::addFolder(const QString& path)
{
    EXPECT_TRUE(QDir().mkpath(absolute(path))) << "cannot create " << path.toStdString();
}

void FixtureTree::addFile(const QString& path, const QByteArray& contents)
{
    makeParent(path);
    QFile file(absolute(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        << "cannot write " << path.toStdString();
    ASSERT_EQ(file.write(contents), contents.size());
}

void FixtureTree::addSymlink(const QString& path, const QString& target)
{
    makeParent(path);
    const QByteArray link = QFile::encodeName(absolute(path));
    const QByteArray to = QFile::encodeName(target);
    EXPECT_EQ(::symlink(to.constData(), link.constData()), 0)
        << "cannot link " << path.toStdString();
}

void FixtureTree::addLargeFile(const QString& path, qint64 size)
{
    makeParent(path);
    QFile file(absolute(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_TRUE(file.resize(size));
}

void FixtureTree::addUnreadable(const QString& path)
{
    makeParent(path);
    const QByteArray name = QFile::encodeName(absolute(path));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(name.size()), sizeof(address.sun_path)) << "path too long";
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(socket, 0);
    EXPECT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(socket);
}

void FixtureTree::addCopy(const QString& path, const QString& source)
{
    addFolder(path);
    const QFileInfoList entries = QDir(source).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        const QString target = path + u'/' + entry.fileName();
        if (entry.isSymLink()) {
            std::array<char, 4096> text{};
            const ssize_t size = ::readlink(QFile::encodeName(entry.filePath()).constData(),
                                            text.data(), text.size());
            ASSERT_TRUE(size > 0 && size < ssize_t(text.size()))
                << "cannot read the link " << entry.filePath().toStdString();
            addSymlink(target, QFile::decodeName(QByteArray(text.data(), size)));
        } else if (entry.isDir()) {
            addCopy(target, entry.filePath());
        } else {
            addFile(target, readFile(entry.filePath()));
        }
    }
}

void FixtureTree::remove(const QString& path)
{
    const QFileInfo info(absolute(path));
    const bool removed = info.isDir() && !info.isSymLink()
                             ? QDir(info.filePath()).removeRecursively()
                             : QFile::remove(info.filePath());
    EXPECT_TRUE(removed) << "cannot remove " << path.toStdString();
}

void FixtureTree::addHwmonFiles(const QString& folder, const QByteArray& driver,
                                const std::vector<Channel>& channels)
{
    addFile(folder + u"name"_qs, driver + '\n');
    for (size_t channel = 0; channel < channels.size(); ++channel) {
        const QString prefix = folder + u"temp%1_"_qs.arg(channel + 1);
        if (const char* label = channels[channel].first) {
            addFile(prefix + u"label"_qs, QByteArray(label) + '\n');
        }
        addFile(prefix + u"input"_qs, channels[channel].second + '\n');
    }
}

void FixtureTree::addExecutable(const QString& path, const QByteArray& contents)
{
    addFile(path, contents);
    EXPECT_TRUE(QFile::setPermissions(absolute(path), QFile::ReadOwner | QFile::ExeOwner));
}

void FixtureTree::addHwmon(int number, const QByteArray& driver,
                           const std::vector<Channel>& channels)
{
    addHwmonFiles(u"sys/class/hwmon/hwmon%1/"_qs.arg(number), driver, channels);
}

void FixtureTree::addBusDevice(const QString& path, const QString& bus)
{
    addFolder(u"sys/bus/"_qs + bus);
    addSymlink(u"sys/devices/"_qs + path + u"/subsystem"_qs, absolute(u"sys/bus/"_qs + bus));
}

void FixtureTree::addDeviceHwmon(const QString& device, int number, const QByteArray& driver,
                                 const std::vector<Channel>& channels)
{
    const QString hwmon = u"hwmon/hwmon%1"_qs.arg(number);
    const QString folder = u"sys/devices/"_qs + device + u'/' + hwmon;
    addHwmonFiles(folder + u'/', driver, channels);
    addSymlink(folder + u"/device"_qs, u"../.."_qs);
    addSymlink(u"sys/class/"_qs + hwmon, u"../../devices/"_qs + device + u'/' + hwmon);
}

QString FixtureTree::thermalZone(int number)
{
    return u"sys/devices/virtual/thermal/thermal_zone%1/"_qs.arg(number);
}

void FixtureTree::addThermalZone(int number, const QByteArray& type, const QByteArray& temp)
{
    addFile(thermalZone(number) + u"type"_qs, type + '\n');
    addFile(thermalZone(number) + u"temp"_qs, temp + '\n');
    const QString link = u"sys/class/thermal/thermal_zone%1"_qs.arg(number);
    if (!QFileInfo(absolute(link)).isSymLink()) {
        addSymlink(link, absolute(thermalZone(number)));
    }
}

QByteArray FixtureTree::cpuinfo(const QByteArray& vendor, const QByteArray& family,
                                const QByteArray& flags)
{
    QByteArray text = "processor\t: 0\nvendor_id\t: " + vendor + '\n';
    if (!family.isEmpty()) {
        text += "cpu family\t: " + family + '\n';
    }
    if (!flags.isEmpty()) {
        text += "flags\t\t: " + flags + '\n';
    }
    return text + "\nprocessor\t: 1\nvendor_id\t: " + vendor + '\n';
}

QByteArray FixtureTree::readFile(const QString& absolutePath)
{
    QFile file(absolutePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qsizetype FixtureTree::openDescriptors()
{
    return QDir(u"/proc/self/fd"_qs).count();
}

} // namespace calidra
