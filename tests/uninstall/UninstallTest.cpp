// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureBundle.h"
#include "FixtureTree.h"
#include "RecordingLauncher.h"
#include "ScriptedAlerts.h"
#include "TemporaryHome.h"
#include "defaults/UserDefaults.h"
#include "hardware/IORegistry.h"
#include "platform/ApplicationTermination.h"
#include "platform/linux/PkexecLauncher.h"
#include "uninstall/UninstallAlertController.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <tuple>
#include <utility>

namespace calidra {
namespace {

const QString BootEntry = u"etc/modules-load.d/calidra.conf"_qs;

// What a removal acts on, the current one while it lives: a bundle listing
// one model with the shipped uninstall script, the boot entry of the driver
// it loaded, its settings, its Trash, and the launcher and the termination it
// goes through.
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
};

class UninstallTest : public testing::Test, protected Installation
{
protected:
    // Opens the dialog on `model`; while it runs, `act` gets it, and must
    // leave it.
    void open(const QString& model, const std::function<void(UninstallAlertController&)>& act)
    {
        registry.cacheMachineModel(model);
        // As in the program, the dialog runs inside the main loop, which a
        // termination request leaves too.
        QTimer::singleShot(0, [&act] {
            QTimer::singleShot(0, [&act] { actOnDialog(act); });
            UninstallAlertController::showUninstallAlert();
            QCoreApplication::exit(0);
        });
        QCoreApplication::exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void actOnDialog(const std::function<void(UninstallAlertController&)>& act)
    {
        auto* dialog = qobject_cast<UninstallAlertController*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no dialog is open";
            QCoreApplication::exit(1);
            return;
        }
        act(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog is still open";
            dialog->cancel();
        }
    }

    template <typename T>
    static T* child(const UninstallAlertController& dialog, const char* name)
    {
        return dialog.findChild<T*>(QString::fromLatin1(name));
    }
    static QCheckBox* box(const UninstallAlertController& d, const char* name)
    {
        return child<QCheckBox>(d, name);
    }
    static void click(const UninstallAlertController& d, const char* name)
    {
        child<QPushButton>(d, name)->click();
    }

    IORegistry registry{bundle.tree.root()};
    ScriptedAlerts alerts;
};

// The driver's switch is on, and can be, only where there is a boot entry to remove.
TEST_F(UninstallTest, TheDriverPartFollowsTheModelListAndItsSwitchTheBootEntry)
{
    struct Case
    {
        const char16_t* model;
        bool bootEntry, partShown, switchOn;
    };
    const Case cases[] = {
        {u"Listed1,1", true, true, true},
        {u"Listed1,1", false, true, false},
        {u"Other1,1", true, false, false},
        {u"listed1,1", false, false, false},
    };
    for (const Case& c : cases) {
        const QString model = QString::fromUtf16(c.model);
        SCOPED_TRACE(model.toStdString() + (c.bootEntry ? " with" : " without") + " boot entry");
        if (c.bootEntry) {
            bundle.tree.addFile(BootEntry, "coretemp\n");
        } else {
            bundle.tree.remove(BootEntry);
        }
        open(model, [&c](UninstallAlertController& dialog) {
            EXPECT_EQ(child<QWidget>(dialog, "intelCore1OptionsView")->isVisible(), c.partShown);
            EXPECT_EQ(box(dialog, "removeSpeedItSwitch")->isChecked(), c.switchOn);
            EXPECT_EQ(box(dialog, "removeSpeedItSwitch")->isEnabled(), c.switchOn);
            EXPECT_EQ(dialog.size(), c.partShown ? QSize(520, 215) : QSize(520, 165));
            dialog.cancel();
        });
    }
}

TEST_F(UninstallTest, CancelEscapeOrClosingTheWindowRemovesNothingAndTheDialogComesBackFresh)
{
    const std::pair<const char*, void (*)(UninstallAlertController&)> endings[] = {
        {"Cancel", [](UninstallAlertController& dialog) { click(dialog, "cancelButton"); }},
        {"Escape",
         [](UninstallAlertController& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }},
        {"closing the window", [](UninstallAlertController& dialog) { dialog.close(); }},
    };
    for (const auto& [name, end] : endings) {
        SCOPED_TRACE(name);
        QPointer<UninstallAlertController> first;
        open(u"Listed1,1"_qs, [&first, end = end](UninstallAlertController& dialog) {
            first = &dialog;
            box(dialog, "removeApplicationSwitch")->setChecked(false);
            box(dialog, "removePreferencesSwitch")->setChecked(true);
            end(dialog);
        });
        EXPECT_TRUE(first.isNull());
        open(u"Listed1,1"_qs, [](UninstallAlertController& dialog) {
            EXPECT_TRUE(box(dialog, "removeApplicationSwitch")->isChecked());
            EXPECT_FALSE(box(dialog, "removePreferencesSwitch")->isChecked());
            dialog.cancel();
        });
    }
    EXPECT_FALSE(termination.isTerminationRequested());
    EXPECT_TRUE(home.trashed().isEmpty());
}

// A second request while the dialog is open (a menu command from the panel's
// bus) raises it as the user left it.
TEST_F(UninstallTest, ShowingTheOpenDialogAgainKeepsTheUsersChoices)
{
    open(u"Listed1,1"_qs, [](UninstallAlertController& dialog) {
        box(dialog, "removeApplicationSwitch")->setChecked(false);
        box(dialog, "removeSpeedItSwitch")->setChecked(false);
        box(dialog, "removePreferencesSwitch")->setChecked(true);
        UninstallAlertController::showUninstallAlert();
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        EXPECT_FALSE(box(dialog, "removeApplicationSwitch")->isChecked());
        EXPECT_FALSE(box(dialog, "removeSpeedItSwitch")->isChecked());
        EXPECT_TRUE(box(dialog, "removePreferencesSwitch")->isChecked());
        click(dialog, "uninstallButton");
    });
    EXPECT_TRUE(launcher.launches.isEmpty());
    EXPECT_EQ(home.trashed(), QStringList{u"calidra.ini"_qs});
}

TEST_F(UninstallTest, APackagedBundleNamesThePackageManagersCommandInsteadOfTheTrash)
{
    // The package database names the bundle below the system root.
    bundle.tree.addFile(u"var/lib/dpkg/info/calidra.list"_qs,
                        "/usr\n/Calidra\n/Calidra/Resources\n");
    open(u"Listed1,1"_qs, [](UninstallAlertController& dialog) {
        QCheckBox* application = box(dialog, "removeApplicationSwitch");
        EXPECT_FALSE(application->isChecked());
        EXPECT_FALSE(application->isEnabled());
        const QLabel* text = child<QLabel>(dialog, "informativeText");
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
    struct stat here, there;
    const bool readOnly = ::geteuid() != 0;
    if (readOnly) {
        // The superuser may change any folder, so this only bites for a user.
        QFile::setPermissions(parent, QFile::ReadOwner | QFile::ExeOwner);
    } else if (::stat("/dev/shm", &there) != 0 || ::stat(QFile::encodeName(parent), &here) != 0 ||
               here.st_dev == there.st_dev) {
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
    open(u"Other1,1"_qs,
         [](UninstallAlertController& dialog) { click(dialog, "uninstallButton"); });
    QFile::setPermissions(parent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(launcher.launches.isEmpty()); // a model without the driver part
    EXPECT_TRUE(termination.isTerminationRequested());
    EXPECT_TRUE(QFileInfo::exists(bundlePath + u"/Resources/IntelModels.plist"_qs));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), command);
}

// The user's link into the bundle goes with it, and no other link.
TEST_F(UninstallTest, RemovalTakesWhatIsSwitchedOnAndQuits)
{
    const auto on = Qt::Checked, off = Qt::Unchecked, mixed = Qt::PartiallyChecked;
    // The switches, the button, whether the script runs, what goes to the Trash.
    using Case = std::tuple<const char*, Qt::CheckState, Qt::CheckState, Qt::CheckState,
                            const char*, bool, QStringList>;
    const char* const uninstall = "uninstallButton";
    // clang-format off
    const Case cases[] = {
        {"EverySwitchOffOnlyQuits", off, off, off, uninstall, false, {}},
        {"ApplicationAloneMovesTheBundle", off, off, on, uninstall, false, {u"Calidra"_qs}},
        {"PreferencesAloneMoveTheSettingsFile", off, on, off, uninstall, false, {u"calidra.ini"_qs}},
        {"ComponentAloneRunsTheScript", on, off, off, uninstall, true, {}},
        {"MixedSwitchesCountAsOff", mixed, mixed, mixed, uninstall, false, {}},
        {"EverythingOn", on, on, on, uninstall, true, {u"Calidra"_qs, u"calidra.ini"_qs}},
        {"JustQuitRemovesNothing", on, on, on, "justQuitButton", false, {}},
    };
    // clang-format on
    using Progress = QList<std::pair<qsizetype, bool>>;
    using Waits = QList<std::chrono::milliseconds>;
    for (const auto& [name, speedIt, preferences, application, button, scriptRuns, trashed] :
         cases) {
        SCOPED_TRACE(name);
        Installation fresh;
        const QString bin = fresh.home.folder.filePath(u".local/bin"_qs);
        QDir().mkpath(bin);
        ASSERT_TRUE(
            QFile::link(fresh.bundle.bundle.bundlePath() + u"/calidra"_qs, bin + u"/calidra"_qs));
        ASSERT_TRUE(QFile::link(fresh.bundle.tree.root(), bin + u"/other"_qs));
        // What the removal had done when it waited for the script: launches, whether the bundle
        // was still there.
        Progress progressAtWait;
        fresh.launcher.whileWaiting = [&] {
            progressAtWait.append({fresh.launcher.launches.size(),
                                   QFileInfo::exists(fresh.bundle.bundle.bundlePath())});
        };
        open(u"Listed1,1"_qs, [&](UninstallAlertController& dialog) {
            box(dialog, "removeSpeedItSwitch")->setCheckState(speedIt);
            box(dialog, "removePreferencesSwitch")->setCheckState(preferences);
            box(dialog, "removeApplicationSwitch")->setCheckState(application);
            click(dialog, button);
        });
        EXPECT_TRUE(fresh.termination.isTerminationRequested());
        EXPECT_EQ(fresh.launcher.launches.size(), scriptRuns ? 1 : 0);
        EXPECT_EQ(fresh.launcher.waits, scriptRuns ? Waits{std::chrono::minutes(5)} : Waits());
        EXPECT_EQ(progressAtWait, scriptRuns ? Progress({{1, true}}) : Progress());
        EXPECT_EQ(fresh.home.trashed(), trashed);
        const bool bundleGone = trashed.contains(u"Calidra"_qs);
        EXPECT_EQ(QFileInfo::exists(fresh.bundle.bundle.bundlePath()), !bundleGone);
        EXPECT_EQ(QFileInfo::exists(fresh.defaults.fileName()),
                  !trashed.contains(u"calidra.ini"_qs));
        EXPECT_EQ(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                  bundleGone ? QStringList{u"other"_qs}
                             : (QStringList{u"calidra"_qs, u"other"_qs}));
    }
}

TEST_F(UninstallTest, TheUninstallScriptHasRunWhenTheBundleGoesToTheTrash)
{
    // A pkexec that runs the tool as the user, and an uninstall script that
    // waits for a go file, then notes whether the bundle is still there. It is
    // not the shipped one, so it runs after "Proceed Anyway".
    FixtureTree folder;
    folder.addExecutable(u"pkexec"_qs, "#!/bin/sh\nexec \"$@\"\n");
    const QString pkexec = folder.absolute(u"pkexec"_qs);
    const QByteArray go = folder.absolute(u"go"_qs).toUtf8();
    QFile marker(folder.absolute(u"marker"_qs));
    bundle.addResource(u"Scripts/uninstallSpeedItLaunchDaemon.sh"_qs,
                       "i=0; while [ ! -e '" + go +
                           "' ] && [ $i -lt 600 ]; do sleep 0.1; "
                           "i=$((i+1)); done; [ -d '" +
                           bundle.bundle.bundlePath().toUtf8() + "' ] && echo present >'" +
                           marker.fileName().toUtf8() + "'\n");
    alerts.expect(TamperAlert, u"Proceed Anyway"_qs);
    PkexecLauncher pkexecLauncher(pkexec);

    // While the removal waits for the script, the window manager closes the
    // dialog; then the script may go on.
    bool openDuringWait = false;
    open(u"Listed1,1"_qs, [&](UninstallAlertController& dialog) {
        QTimer::singleShot(0, &dialog, [&dialog, &go, &openDuringWait] {
            dialog.close();
            QTimer::singleShot(0, [guard = QPointer(&dialog), &go, &openDuringWait] {
                openDuringWait = guard && guard->isVisible();
                QFile(QString::fromUtf8(go)).open(QIODevice::WriteOnly);
            });
        });
        box(dialog, "removePreferencesSwitch")->setChecked(false);
        click(dialog, "uninstallButton");
    });

    EXPECT_TRUE(openDuringWait);
    ASSERT_TRUE(marker.open(QIODevice::ReadOnly));
    EXPECT_EQ(marker.readAll(), "present\n");
    EXPECT_EQ(home.trashed(), QStringList{u"Calidra"_qs});
    EXPECT_TRUE(termination.isTerminationRequested());
}

} // namespace
} // namespace calidra
