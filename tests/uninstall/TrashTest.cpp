// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureTree.h"
#include "QtPrinters.h"
#include "TemporaryHome.h"
#include "platform/Workspace.h"
#include "uninstall/BundleInstallation.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace calidra {
namespace {

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                  QDir::System);
}

TEST(TrashTest, AMissingTrashIsCreatedPrivateAndNamesCollideIntoNumbers)
{
    TemporaryHome user;
    FixtureTree tree;
    const QString name = u"a b%ü"_qs;
    tree.addFile(u"one/"_qs + name, "1");
    tree.addFile(u"two/"_qs + name, "2");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    ASSERT_TRUE(Workspace::moveFileToTrashWithPath(tree.absolute(u"one/"_qs + name)));
    ASSERT_TRUE(Workspace::moveFileToTrashWithPath(tree.absolute(u"two/"_qs + name + u'/')));

    struct stat status;
    ASSERT_EQ(::stat(QFile::encodeName(user.trash()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_EQ(entries(user.trash() + u"/files"_qs), (QStringList{name, name + u".2"_qs}));
    EXPECT_EQ(FixtureTree::readFile(user.trash() + u"/files/"_qs + name + u".2"_qs), "2");
    const QStringList info = QString::fromUtf8(FixtureTree::readFile(user.trash() + u"/info/"_qs +
                                                                     name + u".2.trashinfo"_qs))
                                 .split(u'\n');
    ASSERT_EQ(info.size(), 4);
    EXPECT_EQ(info[0], u"[Trash Info]"_qs);
    EXPECT_EQ(info[1], u"Path="_qs +
                           QString::fromUtf8(QFile::encodeName(tree.absolute(u"two/"_qs))) +
                           u"a%20b%25%C3%BC"_qs);
    ASSERT_TRUE(info[2].startsWith(u"DeletionDate="_qs));
    const QDateTime deleted = QDateTime::fromString(info[2].mid(13), Qt::ISODate);
    EXPECT_TRUE(deleted >= before && deleted <= QDateTime::currentDateTime())
        << info[2].toStdString();
}

TEST(TrashTest, WhatCannotBeRenamedIntoTheTrashStaysWholeAndNoOtherTrashIsMade)
{
    FixtureTree tree;
    tree.addFile(u"Calidra/calidra"_qs, "x");
    const QString bundle = tree.absolute(u"Calidra"_qs);
    {
        TemporaryHome user;
        EXPECT_FALSE(Workspace::moveFileToTrashWithPath(tree.absolute(u"missing"_qs)));
        EXPECT_FALSE(Workspace::moveFileToTrashWithPath(QString()));
    }
    struct stat here, shm;
    if (::stat("/dev/shm", &shm) != 0 ||
        ::stat(QFile::encodeName(bundle).constData(), &here) != 0 || here.st_dev == shm.st_dev) {
        GTEST_SKIP() << "no second file system at /dev/shm for a Trash elsewhere";
    }
    TemporaryHome user(u"/dev/shm"_qs);
    EXPECT_FALSE(Workspace::moveFileToTrashWithPath(bundle));
    EXPECT_EQ(FixtureTree::readFile(bundle + u"/calidra"_qs), "x");
    EXPECT_TRUE(entries(user.trash() + u"/info"_qs).isEmpty());
    EXPECT_EQ(entries(tree.root()), QStringList{u"Calidra"_qs});
}

TEST(BundleInstallationTest, TheRemovalCommandFollowsWhatInstalledTheBundle)
{
    struct Case
    {
        const char* name;
        QString bundle;
        QByteArray packageList;
        bool linked;
        QString command; // "$" stands for the fixture root
    };
    // clang-format off
    const Case cases[] = {
        {"package below /usr", u"usr/lib/calidra"_qs, {}, false, u"sudo apt remove calidra"_qs},
        {"package list names it", u"opt/calidra"_qs, "/opt\n/opt/calidra\n", false,
         u"sudo apt remove calidra"_qs},
        {"package list names another", u"opt/calidra"_qs, "/usr/lib/calidra\n", false,
         u"rm -r $/opt/calidra"_qs},
        {"cmake --install", u"usr/local/lib/calidra"_qs, {}, true,
         u"rm -r $/usr/local/lib/calidra $/usr/local/bin/calidra "
         "$/usr/local/share/applications/calidra.desktop"_qs},
        {"a quote in the path", u"it's/Calidra"_qs, {}, false, u"rm -r '$/it'\\''s/Calidra'"_qs},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureTree root;
        root.addFile(c.bundle + u"/calidra"_qs, "");
        if (!c.packageList.isEmpty())
            root.addFile(u"var/lib/dpkg/info/calidra.list"_qs, c.packageList);
        if (c.linked) {
            root.addSymlink(u"usr/local/bin/calidra"_qs, u"../lib/calidra/calidra"_qs);
            root.addFile(u"usr/local/share/applications/calidra.desktop"_qs, "");
        }
        const BundleInstallation installation(root.absolute(c.bundle), root.root());
        EXPECT_EQ(installation.isPackaged(), c.command.startsWith(u"sudo apt"_qs));
        EXPECT_EQ(installation.removalCommand(), QString(c.command).replace(u'$', root.root()));
    }
}

TEST(BundleInstallationTest, OnlyTheUserEntriesThatStartThisBundleGoWithIt)
{
    struct Case
    {
        const char* name;
        QByteArray launcher;
        QString link; // below the fixture root; empty for none
        bool launcherGoes, linkGoes;
    };
    // clang-format off
    const Case cases[] = {
        {"absolute Exec", "[Desktop Entry]\nExec=\"$/Calidra/calidra\" --x\n", {}, true, false},
        {"Exec through the link", "[Desktop Entry]\nExec=calidra\n", u"Calidra/calidra"_qs, true, true},
        {"link elsewhere", "[Desktop Entry]\nExec=calidra\n", u"Other/calidra"_qs, false, false},
        {"another program", "[Desktop Entry]\nExec=$/Other/calidra\n", {}, false, false},
        {"Exec of another group", "[Desktop Entry]\n[Extra]\nExec=$/Calidra/calidra\n", {}, false, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryHome user;
        FixtureTree root;
        root.addExecutable(u"Calidra/calidra"_qs, "");
        root.addExecutable(u"Other/calidra"_qs, "");
        const QString launcher = user.dataHome() + u"/applications/calidra.desktop"_qs;
        QDir().mkpath(QFileInfo(launcher).path());
        QFile file(launcher);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(c.launcher).replace("$", QFile::encodeName(root.root())));
        file.close();
        const QString link = user.folder.filePath(u".local/bin/calidra"_qs);
        if (!c.link.isEmpty()) {
            QDir().mkpath(QFileInfo(link).path());
            ASSERT_TRUE(QFile::link(root.absolute(c.link), link));
        }
        QStringList expected;
        if (c.launcherGoes)
            expected.append(launcher);
        if (c.linkGoes)
            expected.append(link);
        EXPECT_EQ(BundleInstallation(root.absolute(u"Calidra"_qs), root.root()).userEntries(),
                  expected);
    }
}

} // namespace
} // namespace calidra
