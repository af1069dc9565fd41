// SPDX-License-Identifier: GPL-3.0-or-later
#include "kext/DriverHelper.h"

#include "FixtureBundle.h"
#include "QtPrinters.h"
#include "RecordingLauncher.h"
#include "ScriptedAlerts.h"
#include "kext/PrivilegedScripts.h"

#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <tuple>

namespace calidra {
namespace {

TEST(DriverHelperTest, OnlyRootCanChangeATrustedNode)
{
    // Owner, mode with the file type, trusted.
    using Case = std::tuple<const char*, uid_t, mode_t, bool>;
    const Case cases[] = {
        {"RootFile", 0, S_IFREG | 0755, true},
        {"UserFile", 1000, S_IFREG | 0755, false},
        {"GroupWritableFile", 0, S_IFREG | 0775, false},
        {"OthersWritableFile", 0, S_IFREG | 0757, false},
        {"StickyOthersWritableFile", 0, S_IFREG | 01777, false},
        {"RootFolder", 0, S_IFDIR | 0755, true},
        {"OthersWritableFolder", 0, S_IFDIR | 0777, false},
        {"StickyFolder", 0, S_IFDIR | 01777, true},
        {"Link", 0, S_IFLNK | 0777, false},
        {"Fifo", 0, S_IFIFO | 0644, false},
    };
    for (const auto& [name, owner, mode, trusted] : cases) {
        SCOPED_TRACE(name);
        struct stat node = {};
        node.st_uid = owner;
        node.st_mode = mode;
        EXPECT_EQ(DriverHelper::isTrustedNode(node), trusted);
    }
}

TEST(DriverHelperTest, ATrustedPathIsAnAbsoluteRootFileInRootFolders)
{
    char* shell = ::realpath("/bin/sh", nullptr);
    ASSERT_TRUE(shell);
    const QString realShell = QString::fromLocal8Bit(shell);
    std::free(shell);
    EXPECT_TRUE(DriverHelper::isTrusted(realShell));
    EXPECT_FALSE(DriverHelper::isTrusted(realShell.mid(1)));
    EXPECT_FALSE(DriverHelper::isTrusted(u"/nonexistent/calidra-driver"_qs));
    EXPECT_FALSE(DriverHelper::isTrusted(QString()));
    FixtureTree tree;
    tree.addSymlink(u"link"_qs, realShell);
    EXPECT_FALSE(DriverHelper::isTrusted(tree.absolute(u"link"_qs)));
}

// A bundle holding the package's helper and the shipped scripts.
class PackagedBundleTest : public testing::Test
{
protected:
    PackagedBundleTest()
    {
        for (const char* script : {"Scripts/installAndRunSpeedItLaunchDaemon.sh",
                                   "Scripts/uninstallSpeedItLaunchDaemon.sh"}) {
            bundle.addResource(QString::fromLatin1(script), shippedFile(script));
        }
        bundle.tree.addFile(u"Calidra/calidra-driver"_qs, shippedFile("package/calidra-driver"));
    }

    QString helper() const { return bundle.tree.absolute(u"Calidra/calidra-driver"_qs); }

    FixtureBundle bundle;
    RecordingLauncher launcher;
    ScriptedAlerts alerts;
};

Alerts::Request untrustedAlert(const QString& helper)
{
    return {u"Privileged operation failed."_qs,
            u"Calidra's driver helper (%1) is not owned by the administrator or can be changed by "
            "other users, so Calidra does not run it. Please reinstall Calidra."_qs.arg(helper),
            {u"OK"_qs},
            true};
}

TEST_F(PackagedBundleTest, AHelperTheUserOwnsIsRefusedBeforeAnythingRuns)
{
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(helper()).constData(), 65534, 65534), 0);
    }
    alerts.expect(untrustedAlert(helper()), u"OK"_qs);
    EXPECT_FALSE(installAndRunSpeedItLaunchDaemon());
    EXPECT_TRUE(launcher.launches.isEmpty());
}

TEST_F(PackagedBundleTest, PkexecGetsTheHelperByPathWithOneArgumentWhenOnlyRootCanChangeIt)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only the superuser can make a helper that root owns";
    }
    const RecordingLauncher::Launch install{helper(), {u"install"_qs}, {}};
    const RecordingLauncher::Launch uninstall{helper(), {u"uninstall"_qs}, {}};
    EXPECT_TRUE(installAndRunSpeedItLaunchDaemon());
    EXPECT_TRUE(uninstallSpeedItLaunchDaemon());
    EXPECT_EQ(launcher.launches, (QList<RecordingLauncher::Launch>{install, uninstall}));

    // An altered helper asks first, as an altered script does.
    bundle.tree.addFile(u"Calidra/calidra-driver"_qs, "#!/bin/sh\nexit 0\n");
    alerts.expect(TamperAlert, u"Cancel"_qs);
    EXPECT_FALSE(installAndRunSpeedItLaunchDaemon());
    EXPECT_EQ(launcher.launches.size(), 2);
}

} // namespace
} // namespace calidra
