// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

void FixtureTree::addHwmon(int number, const QByteArray& name,
                           const std::vector<HwmonChannel>& channels)
{
    const QString device = u"sys/devices/platform/%1.%2/hwmon/hwmon%2"_qs.arg(
        QString::fromUtf8(name), QString::number(number));
    addFile(device + u"/name"_qs, name + '\n');
    for (size_t index = 0; index < channels.size(); ++index) {
        const QString prefix = device + u"/temp%1_"_qs.arg(index + 1);
        if (channels[index].label != nullptr) {
            addFile(prefix + u"label"_qs, QByteArray(channels[index].label) + '\n');
        }
        addFile(prefix + u"input"_qs, channels[index].input + '\n');
    }
    addSymlink(u"sys/class/hwmon/hwmon%1"_qs.arg(number), u"../../"_qs + device.mid(4));
}

void FixtureTree::addThermalZone(int number, const QByteArray& type, const QByteArray& temp)
{
    const QString zone = u"devices/virtual/thermal/thermal_zone%1"_qs.arg(number);
    addFile(u"sys/"_qs + zone + u"/type"_qs, type + '\n');
    addFile(u"sys/"_qs + zone + u"/temp"_qs, temp + '\n');
    addSymlink(u"sys/class/thermal/thermal_zone%1"_qs.arg(number), u"../../"_qs + zone);
}

void FixtureTree::remove(const QString& path)
{
    const QFileInfo info(absolute(path));
    const bool removed = info.isDir() && !info.isSymLink()
                             ? QDir(info.filePath()).removeRecursively()
                             : QFile::remove(info.filePath());
    EXPECT_TRUE(removed) << "cannot remove " << path.toStdString();
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
