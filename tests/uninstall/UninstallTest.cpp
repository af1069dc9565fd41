// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureBundle.h"
#include "FixtureTree.h"
#include "QtPrinters.h"
#include "RecordingLauncher.h"
#include "ScriptedAlerts.h"
#include "SettingsFile.h"
#include "TemporaryHome.h"
#include "defaults/UserDefaults.h"
#include "hardware/IORegistry.h"
#include "platform/ApplicationTermination.h"
#include "platform/Workspace.h"
#include "uninstall/BundleInstallation.h"
#include "uninstall/UninstallAlertController.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>

namespace calidra {
namespace {

using Dialog = UninstallAlertController;
const QString BootEntry = u"etc/modules-load.d/calidra.conf"_qs;

// Whether path and /dev/shm lie on different file systems.
bool shmIsElsewhere(const QString& path)
{
    struct stat here, shm;
    return ::stat("/dev/shm", &shm) == 0 && ::stat(QFile::encodeName(path), &here) == 0 &&
           here.st_dev != shm.st_dev;
}

const auto entries = [](const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                  QDir::System);
};
const auto latin1 = [](const char* n) { return QString::fromLatin1(n); };
const auto box = [](const Dialog& d, const char* n) { return d.findChild<QCheckBox*>(latin1(n)); };
const auto click = [](const Dialog& d, const char* n) {
    d.findChild<QPushButton*>(latin1(n))->click();
};

// What a removal acts on, the current one while it lives: a bundle listing one model with the
// shipped uninstall script, the boot entry of the driver it loaded, its settings, its Trash, and
// the launcher and the termination it goes through.
struct Installation
{
    Installation()
    {
        bundle.addResource(u"IntelModels.plist"_qs,
                           FixtureBundle::xml("<array><string>Listed1,1</string></array>"));
        bundle.addResource(u"Scripts/uninstallSpeedItLaunchDaemon.sh"_qs,
                           shippedFile("Scripts/uninstallSpeedItLaunchDaemon.sh"));
        bundle.tree.addFile(BootEntry, "coretemp\n");
        defaults.setBool(true, u"showIcon"_qs);
    }

    TemporaryHome home;
    FixtureBundle bundle;
    UserDefaults defaults{home.folder.filePath(u"calidra.ini"_qs)};
    RecordingLauncher launcher;
    ApplicationTermination termination;
    IORegistry registry{bundle.tree.root()};
    ScriptedAlerts alerts;

    // Opens the dialog on `model`; while it runs, `act` gets it, and must leave it. As in the
    // program, the dialog runs inside the main loop, which a termination request leaves too.
    void open(const QString& model, const std::function<void(Dialog&)>& act)
    {
        registry.cacheMachineModel(model);
        QTimer::singleShot(0, [&act] {
            QTimer::singleShot(0, [&act] {
                auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
                if (!dialog) {
                    ADD_FAILURE() << "no dialog is open";
                    return QCoreApplication::exit(1);
                }
                act(*dialog);
                if (dialog->isVisible()) {
                    ADD_FAILURE() << "the dialog is still open";
                    dialog->cancel();
                }
            });
            Dialog::showUninstallAlert();
            QCoreApplication::exit(0);
        });
        QCoreApplication::exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

struct UninstallTest : testing::Test, Installation
{};

// The driver's switch is on, and can be, only where there is a boot entry to remove. A second
// request while the dialog is open (a menu command from the panel's bus) raises it as the user
// left it; leaving it by any way but a button removes nothing, and it comes back fresh.
TEST_F(UninstallTest, TheDriverPartFollowsTheModelListAndLeavingRemovesNothing)
{
    // Model, boot entry, part shown, switch on, how the dialog is left.
    // clang-format off
    const std::tuple<QString, bool, bool, bool, void (*)(Dialog&)> cases[] = {
        {u"Listed1,1"_qs, true, true, true, [](Dialog& d) { click(d, "cancelButton"); }},
        {u"Listed1,1"_qs, false, true, false, [](Dialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {u"Other1,1"_qs, true, false, false, [](Dialog& d) { d.close(); }},
        {u"listed1,1"_qs, false, false, false, [](Dialog& d) { d.cancel(); }},
    };
    // clang-format on
    for (const auto& [model, bootEntry, partShown, switchOn, leave] : cases) {
        SCOPED_TRACE(model.toStdString() + (bootEntry ? " with" : " without") + " boot entry");
        bootEntry ? bundle.tree.addFile(BootEntry, "coretemp\n") : bundle.tree.remove(BootEntry);
        QPointer<Dialog> opened;
        open(model, [&](Dialog& dialog) {
            opened = &dialog;
            EXPECT_EQ(dialog.findChild<QWidget*>(u"intelCore1OptionsView"_qs)->isVisible(),
                      partShown);
            EXPECT_EQ(box(dialog, "removeSpeedItSwitch")->isChecked(), switchOn);
            EXPECT_EQ(box(dialog, "removeSpeedItSwitch")->isEnabled(), switchOn);
            EXPECT_EQ(dialog.size(), partShown ? QSize(520, 215) : QSize(520, 165));
            EXPECT_TRUE(box(dialog, "removeApplicationSwitch")->isChecked());
            EXPECT_FALSE(box(dialog, "removePreferencesSwitch")->isChecked());
            box(dialog, "removeApplicationSwitch")->setChecked(false);
            box(dialog, "removeSpeedItSwitch")->setChecked(false);
            box(dialog, "removePreferencesSwitch")->setChecked(true);
            Dialog::showUninstallAlert();
            EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
            EXPECT_FALSE(box(dialog, "removeApplicationSwitch")->isChecked());
            EXPECT_FALSE(box(dialog, "removeSpeedItSwitch")->isChecked());
            EXPECT_TRUE(box(dialog, "removePreferencesSwitch")->isChecked());
            leave(dialog);
        });
        EXPECT_TRUE(opened.isNull());
    }
    EXPECT_FALSE(termination.isTerminationRequested());
    EXPECT_TRUE(home.trashed().isEmpty());
}

TEST_F(UninstallTest, APackagedBundleNamesThePackageManagersCommandInsteadOfTheTrash)
{
    // The package database names the bundle below the system root.
    bundle.tree.addFile(u"var/lib/dpkg/info/calidra.list"_qs,
                        "/usr\n/Calidra\n/Calidra/Resources\n");
    open(u"Listed1,1"_qs, [](Dialog& dialog) {
        EXPECT_FALSE(box(dialog, "removeApplicationSwitch")->isChecked());
        EXPECT_FALSE(box(dialog, "removeApplicationSwitch")->isEnabled());
        const auto* text = dialog.findChild<QLabel*>(u"informativeText"_qs);
        EXPECT_TRUE(text->text().contains(u"“sudo apt remove calidra”"_qs))
            << text->text().toStdString();
        // The whole text shows: the dialog grew by what it needs.
        EXPECT_GT(dialog.height(), 215);
        EXPECT_GE(text->height(), text->heightForWidth(text->width()));
        click(dialog, "uninstallButton");
    });
    EXPECT_TRUE(termination.isTerminationRequested());
    EXPECT_TRUE(home.trashed().isEmpty());
}

TEST_F(UninstallTest, ABundleThatCannotBeMovedIsToldWithTheCommandThatRemovesIt)
{
    const QString bundlePath = bundle.bundle.bundlePath();
    const QString parent = QFileInfo(bundlePath).path();
    QTemporaryDir otherFileSystem(u"/dev/shm/calidra-XXXXXX"_qs);
    const bool readOnly = ::geteuid() != 0;
    if (readOnly) { // the superuser may change any folder, so this only bites for a user
        QFile::setPermissions(parent, QFile::ReadOwner | QFile::ExeOwner);
    } else if (!shmIsElsewhere(parent)) {
        GTEST_SKIP() << "as the superuser, only a Trash on another file system stops the move, "
                        "and /dev/shm is none";
    } else {
        qputenv("XDG_DATA_HOME", otherFileSystem.path().toUtf8());
    }
    const QString command = (readOnly ? u"sudo rm -r "_qs : u"rm -r "_qs) + bundlePath;
    alerts.expect({u"Calidra could not be moved to the Trash."_qs,
                   u"Its folder cannot be changed by you, or the Trash is on another file system. "
                   "To remove Calidra, run this command in a terminal:\n\n"_qs +
                       command,
                   {u"Copy Command and Quit"_qs, u"Quit"_qs},
                   false},
                  u"Copy Command and Quit"_qs,
                  [this] { EXPECT_FALSE(termination.isTerminationRequested()); });
    open(u"Other1,1"_qs, [](Dialog& dialog) { click(dialog, "uninstallButton"); });
    QFile::setPermissions(parent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(launcher.launches.isEmpty()); // a model without the driver part
    EXPECT_TRUE(termination.isTerminationRequested());
    EXPECT_TRUE(QFileInfo::exists(bundlePath + u"/Resources/IntelModels.plist"_qs));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), command);
}

// The user's link into the bundle goes with it, and no other link.
TEST(UninstallRemovalTest, RemovalTakesWhatIsSwitchedOnAndQuits)
{
    const auto on = Qt::Checked, off = Qt::Unchecked, mixed = Qt::PartiallyChecked;
    // The switches, the button, whether the script runs, what goes to the Trash.
    const char* const uninstall = "uninstallButton";
    // clang-format off
    const std::tuple<Qt::CheckState, Qt::CheckState, Qt::CheckState, const char*, bool, QStringList> cases[] = {
        {off, off, off, uninstall, false, {}},
        {off, off, on, uninstall, false, {u"Calidra"_qs}},
        {off, on, off, uninstall, false, {u"calidra.ini"_qs}},
        {on, off, off, uninstall, true, {}},
        {mixed, mixed, mixed, uninstall, false, {}},
        {on, on, on, uninstall, true, {u"Calidra"_qs, u"calidra.ini"_qs}},
        {on, on, on, "justQuitButton", false, {}},
    };
    // clang-format on
    using Progress = QList<std::tuple<qsizetype, bool, bool>>;
    using Waits = QList<std::chrono::milliseconds>;
    for (const auto& [speedIt, preferences, application, button, scriptRuns, trashed] : cases) {
        SCOPED_TRACE(testing::Message() << speedIt << preferences << application << button);
        Installation fresh;
        const QString bin = fresh.home.folder.filePath(u".local/bin"_qs);
        QDir().mkpath(bin);
        ASSERT_TRUE(
            QFile::link(fresh.bundle.bundle.bundlePath() + u"/calidra"_qs, bin + u"/calidra"_qs));
        ASSERT_TRUE(QFile::link(fresh.bundle.tree.root(), bin + u"/other"_qs));
        // When the removal waited for the script: the launches, whether the bundle was there, and
        // whether the dialog stays open when the window manager closes it meanwhile.
        Progress progressAtWait;
        fresh.launcher.whileWaiting = [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            dialog->close();
            progressAtWait.append({fresh.launcher.launches.size(),
                                   QFileInfo::exists(fresh.bundle.bundle.bundlePath()),
                                   dialog->isVisible()});
        };
        fresh.open(u"Listed1,1"_qs, [&](Dialog& dialog) {
            box(dialog, "removeSpeedItSwitch")->setCheckState(speedIt);
            box(dialog, "removePreferencesSwitch")->setCheckState(preferences);
            box(dialog, "removeApplicationSwitch")->setCheckState(application);
            click(dialog, button);
        });
        EXPECT_TRUE(fresh.termination.isTerminationRequested());
        EXPECT_EQ(fresh.launcher.launches.size(), scriptRuns ? 1 : 0);
        EXPECT_EQ(fresh.launcher.waits, scriptRuns ? Waits{std::chrono::minutes(5)} : Waits());
        EXPECT_EQ(progressAtWait, scriptRuns ? Progress({{1, true, true}}) : Progress());
        EXPECT_EQ(fresh.home.trashed(), trashed);
        const bool bundleGone = trashed.contains(u"Calidra"_qs);
        EXPECT_EQ(QFileInfo::exists(fresh.bundle.bundle.bundlePath()), !bundleGone);
        EXPECT_EQ(QFileInfo::exists(fresh.defaults.fileName()),
                  !trashed.contains(u"calidra.ini"_qs));
        EXPECT_EQ(entries(bin), bundleGone ? QStringList{u"other"_qs}
                                           : (QStringList{u"calidra"_qs, u"other"_qs}));
    }
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
    const QByteArray info =
        FixtureTree::readFile(user.trash() + u"/info/"_qs + name + u".2.trashinfo"_qs);
    const QByteArray head = "[Trash Info]\nPath=" + QFile::encodeName(tree.absolute(u"two/"_qs)) +
                            "a%20b%25%C3%BC\nDeletionDate=";
    ASSERT_TRUE(info.startsWith(head) && info.endsWith('\n') && info.count('\n') == 3)
        << info.data();
    const QDateTime deleted =
        QDateTime::fromString(QString::fromUtf8(info.mid(head.size()).trimmed()), Qt::ISODate);
    EXPECT_TRUE(deleted >= before && deleted <= QDateTime::currentDateTime()) << info.data();
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
    if (!shmIsElsewhere(bundle))
        GTEST_SKIP() << "no second file system at /dev/shm for a Trash elsewhere";
    TemporaryHome user(u"/dev/shm"_qs);
    EXPECT_FALSE(Workspace::moveFileToTrashWithPath(bundle));
    EXPECT_EQ(FixtureTree::readFile(bundle + u"/calidra"_qs), "x");
    EXPECT_TRUE(entries(user.trash() + u"/info"_qs).isEmpty());
    EXPECT_EQ(entries(tree.root()), QStringList{u"Calidra"_qs});
}

TEST(BundleInstallationTest, TheRemovalCommandFollowsWhatInstalledTheBundle)
{
    // The bundle, the package list, whether an install linked it, the command ("$": the root).
    // clang-format off
    const std::tuple<QString, QByteArray, bool, QString> cases[] = {
        {u"usr/lib/calidra"_qs, {}, false, u"sudo apt remove calidra"_qs},
        {u"opt/calidra"_qs, "/opt\n/opt/calidra\n", false, u"sudo apt remove calidra"_qs},
        {u"opt/calidra"_qs, "/usr/lib/calidra\n", false, u"rm -r $/opt/calidra"_qs},
        {u"usr/local/lib/calidra"_qs, {}, true, u"rm -r $/usr/local/lib/calidra $/usr/local/bin/calidra "
                                                "$/usr/local/share/applications/calidra.desktop"_qs},
        {u"it's/Calidra"_qs, {}, false, u"rm -r '$/it'\\''s/Calidra'"_qs},
    };
    // clang-format on
    for (const auto& [path, packageList, linked, command] : cases) {
        SCOPED_TRACE(path.toStdString() + packageList.data());
        FixtureTree root;
        root.addFile(path + u"/calidra"_qs, "");
        if (!packageList.isEmpty())
            root.addFile(u"var/lib/dpkg/info/calidra.list"_qs, packageList);
        if (linked) {
            root.addSymlink(u"usr/local/bin/calidra"_qs, u"../lib/calidra/calidra"_qs);
            root.addFile(u"usr/local/share/applications/calidra.desktop"_qs, "");
        }
        const BundleInstallation installation(root.absolute(path), root.root());
        EXPECT_EQ(installation.isPackaged(), command.startsWith(u"sudo apt"_qs));
        EXPECT_EQ(installation.removalCommand(), QString(command).replace(u'$', root.root()));
    }
}

TEST(BundleInstallationTest, OnlyTheUserEntriesThatStartThisBundleGoWithIt)
{
    // The launcher ("$": the root), the link's target below the root (empty: none), whether
    // the launcher and the link go.
    // clang-format off
    const std::tuple<QByteArray, QString, bool, bool> cases[] = {
        {"[Desktop Entry]\nExec=\"$/Calidra/calidra\" --x\n", {}, true, false},
        {"[Desktop Entry]\nExec=calidra\n", u"Calidra/calidra"_qs, true, true},
        {"[Desktop Entry]\nExec=calidra\n", u"Other/calidra"_qs, false, false},
        {"[Desktop Entry]\nExec=$/Other/calidra\n", {}, false, false},
        {"[Desktop Entry]\n[Extra]\nExec=$/Calidra/calidra\n", {}, false, false},
    };
    // clang-format on
    for (const auto& [text, target, launcherGoes, linkGoes] : cases) {
        SCOPED_TRACE(text.data() + target.toStdString());
        TemporaryHome user;
        FixtureTree root;
        root.addExecutable(u"Calidra/calidra"_qs, "");
        root.addExecutable(u"Other/calidra"_qs, "");
        const QString launcher = user.dataHome() + u"/applications/calidra.desktop"_qs;
        const QString link = user.folder.filePath(u".local/bin/calidra"_qs);
        QDir().mkpath(QFileInfo(launcher).path());
        ASSERT_TRUE(SettingsFile::write(
            launcher, QByteArray(text).replace("$", QFile::encodeName(root.root()))));
        QDir().mkpath(QFileInfo(link).path());
        ASSERT_TRUE(target.isEmpty() || QFile::link(root.absolute(target), link));
        QStringList expected;
        if (launcherGoes)
            expected.append(launcher);
        if (linkGoes)
            expected.append(link);
        EXPECT_EQ(BundleInstallation(root.absolute(u"Calidra"_qs), root.root()).userEntries(),
                  expected);
    }
}

} // namespace
} // namespace calidra
