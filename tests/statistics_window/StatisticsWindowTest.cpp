// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureTree.h"
#include "ScriptedAlerts.h"
#include "ScriptedGauge.h"
#include "SettingsFile.h"
#include "defaults/Settings.h"
#include "measurement/GaugeReader.h"
#include "statistics_window/ExternalWindowController.h"
#include "statistics_window/HistoryGraph.h"
#include "statistics_window/StatisticsView.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <tuple>

namespace calidra {
namespace {

// A gauge of a sensor chosen in place of the processor's.
struct ChosenGauge : ScriptedGauge
{
    explicit ChosenGauge(float reading) : ScriptedGauge({reading}) {}
    std::optional<QString> chosenSensor() const override { return u"amdgpu, edge"_qs; }
};

class StatisticsWindowTest : public testing::Test
{
protected:
    StatisticsWindowTest()
    {
        defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::celsius);
    }
    ~StatisticsWindowTest() override
    {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(ExternalWindowController::isShowing());
    }
    static std::unique_ptr<GaugeReader> reader(float value, double life)
    {
        return GaugeReader::initWithGauge(fixedGauge(value), life);
    }
    void update(bool temperature, bool frequency)
    {
        window->updateDisplayWithTemperatureReader(temperature ? celsius.get() : nullptr,
                                                   frequency ? megahertz.get() : nullptr);
    }
    // Expects the warning of a save to `path` that failed with the system's `error`.
    void expectWarning(const char* what, const QString& path, int error)
    {
        alerts.expect(
            {u"The %1 could not be saved to “%2”."_qs.arg(QString::fromLatin1(what), path),
             QString::fromLocal8Bit(std::strerror(error)),
             {u"OK"_qs},
             true},
            u"OK"_qs);
    }

    // Built in this order and torn down in reverse: each member uses the ones
    // above it, and the process-wide ones stay current until those below are gone.
    SettingsFile settings;
    UserDefaults& defaults = settings.defaults;
    QTemporaryDir folder;
    ScriptedAlerts alerts;
    std::unique_ptr<GaugeReader> celsius = reader(52.3F, 3725.4);
    std::unique_ptr<GaugeReader> megahertz = reader(800, 3720.9);
    ExternalWindowController* window = ExternalWindowController::showExternalWindow();
    const int baseWidth = window->width();
};

TEST_F(StatisticsWindowTest, PanelsFollowTheReadersOfTheLatestUpdate)
{
    const Frame left{10, 74, 340, 179}, right{350, 74, 340, 179};
    // The readers before and in the update, the panels' frames (none: no panel), the widening.
    using Case = std::tuple<const char*, bool, bool, bool, bool, std::optional<Frame>,
                            std::optional<Frame>, int>;
    const Case cases[] = {
        {"temperature to both", true, false, true, true, left, right, 350},
        {"both to temperature", true, true, true, false, left, std::nullopt, 0},
        {"both to frequency", true, true, false, true, std::nullopt, left, 0},
        {"frequency to temperature", false, true, true, false, left, std::nullopt, 0},
        {"frequency to both", false, true, true, true, left, right, 350},
    };
    const auto frame = [](const auto* shown) {
        return shown ? std::optional(shown->frame()) : std::nullopt;
    };
    const auto x = [](const auto* shown) {
        return shown ? std::optional(shown->frame().x) : std::nullopt;
    };
    for (const auto& [name, temperatureBefore, frequencyBefore, withTemperature, withFrequency,
                      temperatureFrame, frequencyFrame, widening] : cases) {
        SCOPED_TRACE(name);
        update(temperatureBefore, frequencyBefore);
        update(withTemperature, withFrequency);
        EXPECT_EQ(frame(window->temperaturePanel()), temperatureFrame);
        EXPECT_EQ(frame(window->frequencyPanel()), frequencyFrame);
        EXPECT_EQ(window->width(), baseWidth + widening);
        EXPECT_EQ(x(window->temperatureGraph()), x(window->temperaturePanel()));
        EXPECT_EQ(x(window->frequencyGraph()), x(window->frequencyPanel()));
        update(true, false);
    }
}

// The running time is the smaller life, truncated.
TEST_F(StatisticsWindowTest, ReportListsEachPanelTheRunningTimeAndAChosenSensor)
{
    const QString header = u"Calidra Report\n======================\n\n"_qs;
    EXPECT_EQ(window->description(), header);
    const QString temperatureBlock =
        u"Temperature Report\n----------------------\nCurrent temperature:\n\t52.30℃\n"
        u"Statistics for last ten minutes:\n\tMinimum: 52.30℃, Average: 52.30℃, Maximum: 52.30℃\n"
        u"Overall statistics:\n\tMinimum: 52.30℃, Average: 52.30℃, Maximum: 52.30℃"_qs;
    update(true, false);
    EXPECT_EQ(window->description(),
              header + temperatureBlock + u"\n\nRunning for 1 hour, 2 minutes, 5 seconds"_qs);
    update(true, true);
    const QString frequencyBlock =
        u"\n\nFrequency Report\n----------------------\nCurrent frequency:\n\t800.00 MHz\n"
        u"Statistics for last ten minutes:\n\tMinimum: 800.00 MHz, Average: 800.00 MHz, "
        u"Maximum: 800.00 MHz\nOverall statistics:\n\tMinimum: 800.00 MHz, Average: 800.00 MHz, "
        u"Maximum: 800.00 MHz"_qs;
    EXPECT_EQ(window->description(),
              header + temperatureBlock + frequencyBlock + u"\n\nRunning for 1 hour, 2 minutes"_qs);

    const auto chosen = GaugeReader::initWithGauge(std::make_shared<ChosenGauge>(48), 2);
    window->updateDisplayWithTemperatureReader(chosen.get(), nullptr);
    const QStringList parts = window->description().split(u"\n\n"_qs);
    ASSERT_EQ(parts.size(), 4);
    EXPECT_EQ(parts[1], u"Temperature sensor: amdgpu, edge"_qs);
    EXPECT_TRUE(parts[2].startsWith(u"Temperature Report\n"_qs));
}

TEST_F(StatisticsWindowTest, UnupdatedPanelShowsEmptyValuesAndEachValueTakesItsUnit)
{
    StatisticsView panel(u"Frequency"_qs, QPointF(10, 74), window);
    EXPECT_EQ(panel.description().split(u'\n').value(5), u"\tMinimum: , Average: , Maximum: "_qs);
    auto gauge = fixedGauge(800);
    const auto rising = GaugeReader::initWithGauge(gauge, 2);
    gauge->readings = {2400};
    rising->_gaugeTimerFired();
    panel.updateDisplayWithGaugeReader(*rising, FrequencyValueTransformer());
    const QStringList lines = panel.description().split(u'\n');
    EXPECT_EQ(lines.value(2), u"Current frequency:"_qs);
    EXPECT_TRUE(lines.value(5).startsWith(u"\tMinimum: 800.00 MHz,"_qs));
    EXPECT_TRUE(lines.value(5).endsWith(u"Maximum: 2.40 GHz"_qs));
    for (const QLabel* field : panel.findChildren<QLabel*>()) // no value is cut off by its field
        EXPECT_LE(field->fontMetrics().horizontalAdvance(field->text()), field->width())
            << field->text().toStdString();
}

// The file holds the histories of the last update, the readers gone or not.
TEST_F(StatisticsWindowTest, CopyAndSavesGiveExactlyWhatIsShownAndAFailedSaveIsTold)
{
    update(true, false);
    window->copyTextualOutput();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), window->description());

    EXPECT_EQ(window->lastTenMinutesCsv(), u"time,temperature_celsius,frequency_mhz\n"_qs);
    auto temperature = reader(52.3F, 2);
    auto frequency = reader(800, 2);
    for (int sample = 0; sample < 3; ++sample) {
        temperature->_gaugeTimerFired();
        frequency->_gaugeTimerFired();
    }
    window->updateDisplayWithTemperatureReader(temperature.get(), nullptr);
    window->updateDisplayWithTemperatureReader(temperature.get(), frequency.get());
    temperature.reset();
    frequency.reset();
    const QString csv = window->lastTenMinutesCsv();
    const QStringList lines = csv.split(u'\n');
    ASSERT_EQ(lines.size(), 5) << csv.toStdString();
    EXPECT_EQ(lines.constLast(), QString());
    const QRegularExpression row(
        uR"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,52\.3,800$)"_qs);
    for (const QString& line : lines.mid(1, 3))
        EXPECT_TRUE(row.match(line).hasMatch()) << line.toStdString();

    const QString missing = folder.filePath(u"missing/saved"_qs);
    for (const bool report : {true, false}) {
        const QString text = report ? window->description() : csv;
        const QString path = folder.filePath(u"saved"_qs);
        report ? window->saveReport(path, text) : window->saveLastTenMinutes(path, text);
        EXPECT_EQ(FixtureTree::readFile(path), text.toUtf8());
        expectWarning(report ? "report" : "last ten minutes", missing, ENOENT);
        report ? window->saveReport(missing, text) : window->saveLastTenMinutes(missing, text);
    }
}

TEST_F(StatisticsWindowTest, SaveDialogStartsOnTheDesktopWhereThereIsOne)
{
    const QString desktop = folder.filePath(u"Desktop"_qs);
    EXPECT_EQ(ExternalWindowController::saveStartFolder(desktop, folder.path()), folder.path());
    ASSERT_TRUE(QDir().mkdir(desktop));
    EXPECT_EQ(ExternalWindowController::saveStartFolder(desktop, folder.path()), desktop);
}

// A tmpfs of 16 KiB mounted on a folder in a mount namespace of this thread's
// own, so that nothing else sees it; the thread returns to its former
// namespace afterwards.
struct TinyDisk
{
    explicit TinyDisk(const QString& path) : folder(QFile::encodeName(path))
    {
        mounted = former >= 0 && ::unshare(CLONE_NEWNS) == 0 &&
                  ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                  ::mount("calidra-test", folder.constData(), "tmpfs", 0, "size=16k") == 0;
    }
    ~TinyDisk()
    {
        if (mounted)
            ::umount2(folder.constData(), MNT_DETACH);
        if (former >= 0) {
            ::setns(former, CLONE_NEWNS);
            ::close(former);
        }
    }
    QByteArray folder;
    int former = ::open("/proc/thread-self/ns/mnt", O_RDONLY | O_CLOEXEC);
    bool mounted = false;
};

// A save that fails keeps the file it would replace (a full disk stands for every failure).
TEST_F(StatisticsWindowTest, SaveThatFillsTheDiskGivesTheSystemsReasonAndKeepsTheFile)
{
    QTemporaryDir disk;
    const TinyDisk tiny(disk.path());
    if (!tiny.mounted)
        GTEST_SKIP() << "a tmpfs of its own needs root and a private mount namespace";
    const QString path = disk.filePath(u"report.txt"_qs);
    ASSERT_FALSE(ExternalWindowController::writeReport(path, u"old"_qs));
    expectWarning("report", path, ENOSPC);
    window->saveReport(path, QString(40000, u'x'));
    EXPECT_EQ(FixtureTree::readFile(path), QByteArray("old"));
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files), QStringList{u"report.txt"_qs});
}

TEST_F(StatisticsWindowTest, EscapeAndCtrlWCloseTheWindow)
{
    for (const QKeyCombination keys : {QKeyCombination(Qt::Key_Escape), Qt::CTRL | Qt::Key_W}) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window = ExternalWindowController::showExternalWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, keys.key(), keys.keyboardModifiers());
        EXPECT_FALSE(window->isVisible()) << QKeySequence(keys).toString().toStdString();
    }
}

} // namespace
} // namespace calidra
