// SPDX-License-Identifier: GPL-3.0-or-later
// Registry path queries over a fixed system tree that holds what sysfs can
// hold and what it should not: symbolic links to folders, files, parents,
// themselves, nowhere and outside the tree, FIFOs, a socket, binary and large
// files, a device tree. The input is the path. Each entry found is asked for
// its names, paths, properties and children, which must neither hang on a
// FIFO nor follow a link.

#include "hardware/IORegistry.h"
#include "hardware/IORegistryEntry.h"
#include "hardware/IORegistryEnumerator.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

class Tree
{
public:
    Tree()
    {
        if (!m_dir.isValid()) {
            std::abort();
        }
        file("sys/devices/sensor0/type", "temp\n");
        file("sys/devices/sensor0/value", "58\n");
        file("sys/devices/sensor0/location", "CPU B\n");
        file("sys/devices/sensor0/child@1/deep.2/x", "1");
        file("sys/devices/sensor1/type", "fan\n");
        file("sys/devices/sensor2/binary", QByteArray("\xff\x00\x01", 3));
        file("sys/devices/platform/coretemp.0/hwmon/hwmon3/name", "coretemp\n");
        file("sys/devices/platform/coretemp.0/hwmon/hwmon3/temp1_input", "45000\n");
        file("sys/devices/platform/coretemp.0/hwmon/hwmon3/temp1_label", "Package id 0\n");
        file("sys/devices/virtual/thermal/thermal_zone0/type", "cpu-thermal\n");
        file("sys/devices/virtual/thermal/thermal_zone0/temp", "51234\n");
        file("sys/firmware/devicetree/base/model", QByteArray("Board\0", 6));
        file("sys/firmware/devicetree/base/cpus/cpu@0/compatible", QByteArray("arm\0v8\0", 7));
        file("proc/cpuinfo", "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu MHz\t\t: 2333.000\n");
        link("sys/devices/link0", "sensor0");
        link("sys/devices/sensor1/up", "../..");
        link("sys/devices/sensor1/self", "self");
        link("sys/devices/sensor2/nowhere", "/nonexistent/x");
        link("sys/devices/sensor2/outside", "/");
        link("sys/devices/sensor2/value", "../sensor0/value");
        fifo("sys/devices/sensor2/fifo");
        fifo("sys/devices/sensor0/child@1/type");
        socket("sys/devices/sensor2/socket");
        large("sys/devices/sensor2/large", 1 << 20);
    }

    QString root() const { return m_dir.path(); }

private:
    QByteArray path(const char* relative) const
    {
        const QString absolute = m_dir.filePath(QString::fromUtf8(relative));
        QDir().mkpath(absolute.section(u'/', 0, -2));
        return QFile::encodeName(absolute);
    }
    void file(const char* relative, const QByteArray& contents)
    {
        QFile file(QFile::decodeName(path(relative)));
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
            std::abort();
        }
    }
    void link(const char* relative, const char* target)
    {
        if (::symlink(target, path(relative).constData()) != 0) {
            std::abort();
        }
    }
    void fifo(const char* relative)
    {
        if (::mkfifo(path(relative).constData(), 0600) != 0) {
            std::abort();
        }
    }
    void socket(const char* relative)
    {
        const QByteArray name = path(relative);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, name.constData(),
                    std::min(sizeof(address.sun_path) - 1, size_t(name.size())));
        const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ::bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
        ::close(descriptor);
    }
    void large(const char* relative, qint64 size)
    {
        QFile file(QFile::decodeName(path(relative)));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(size)) {
            std::abort();
        }
    }

    QTemporaryDir m_dir;
};

// Asks an entry everything, and a few of its children likewise.
void examine(const calidra::IORegistryEntry& entry, const QString& key, int depth)
{
    for (const QString& plane : {u"IOService"_qs, u"IODeviceTree"_qs}) {
        (void)entry.nameInPlane(plane);
        (void)entry.locationInPlane(plane);
        (void)entry.pathInPlane(plane);
    }
    (void)entry.properties();
    (void)entry.propertyForKey(key);
    (void)entry.description();
    const auto children = entry.childEnumeratorOnPlane(u"IOService"_qs);
    for (int count = 0; children && depth < 2 && count < 4; ++count) {
        const std::unique_ptr<calidra::IORegistryEntry> child = children->nextObject();
        if (!child) {
            break;
        }
        examine(*child, key, depth + 1);
    }
}

void examine(const calidra::RegistryObject& object, const QString& key)
{
    if (object.entry) {
        examine(*object.entry, key, 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static const Tree tree;
    static calidra::IORegistry registry(tree.root());
    const QString path = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    examine(calidra::IORegistryEntry::objectFromXPath(path, u"IOService"_qs), path);
    examine(calidra::IORegistryEntry::objectFromXPath(path, u"IODeviceTree"_qs), path);
    if (const auto entry = calidra::IORegistryEntry::entryFromPath(path)) {
        examine(*entry, path, 0);
    }
    if (const auto root = calidra::IORegistryEntry::rootEntry()) {
        examine(root->objectFromRelativeXPath(path, u"IOService"_qs), path);
    }
    (void)calidra::IORegistryEntry::machineModel();
    return 0;
}
