// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureTree.h"
#include "QtPrinters.h"
#include "ScriptedAlerts.h"
#include "ScriptedGauge.h"
#include "SettingsFile.h"
#include "defaults/Settings.h"
#include "formatting/FrequencyValueTransformer.h"
#include "measurement/Gauge.h"
#include "measurement/GaugeReader.h"
#include "measurement/SampleHistory.h"
#include "statistics_window/ExternalWindowController.h"
#include "statistics_window/GraphScale.h"
#include "statistics_window/HistoryCsv.h"
#include "statistics_window/HistoryGraph.h"
#include "statistics_window/StatisticsView.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPaintEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

namespace calidra {
namespace {

// 2025-03-30T00:59:58Z, two seconds before Central Europe moves its clocks on.
constexpr qint64 T0 = 1743296398000;

using Samples = std::optional<std::vector<std::pair<float, qint64>>>; // value, ms after T0

// Samples of the two readers as they come: on timers of their own, started
// apart, with misses, at intervals that differ only while one is re-timed.
TEST(HistoryCsvTest, SamplesOfOneMomentShareALineAndAMissingOneLeavesItsFieldEmpty)
{
    const struct
    {
        const char* name;
        Samples temperature, frequency;
        const char* rows; // after the header
    } cases[] = {
        {"NeitherReaderHasASample", Samples(std::in_place), Samples(std::in_place), ""},
        {"TemperatureAlone", Samples{{{48.25F, 0}, {49.0F, 2000}}}, std::nullopt,
         "2025-03-30T00:59:58.000+00:00,48.25,\n2025-03-30T01:00:00.000+00:00,49,\n"},
        {"FrequencyAlone", std::nullopt, Samples{{{2333.5F, 7}}},
         "2025-03-30T00:59:58.007+00:00,,2333.5\n"},
        {"SampledAMillisecondApartAtTheEarlierTime", Samples{{{50.125F, 1}, {51.0F, 2001}}},
         Samples{{{1200.0F, 0}, {3900.0F, 2002}}},
         "2025-03-30T00:59:58.000+00:00,50.125,1200\n2025-03-30T01:00:00.001+00:00,51,3900\n"},
        {"TemperatureMissedASample", Samples{{{50.0F, 0}, {52.0F, 4000}}},
         Samples{{{1200.0F, 3}, {1300.0F, 2003}, {1400.0F, 4003}}},
         "2025-03-30T00:59:58.000+00:00,50,1200\n2025-03-30T01:00:00.003+00:00,,1300\n"
         "2025-03-30T01:00:02.000+00:00,52,1400\n"},
        {"FrequencyStartedHalfAnIntervalLaterPairsNothing", Samples{{{50.0F, 0}, {51.0F, 2000}}},
         Samples{{{1200.0F, 1000}}},
         "2025-03-30T00:59:58.000+00:00,50,\n2025-03-30T00:59:59.000+00:00,,1200\n"
         "2025-03-30T01:00:00.000+00:00,51,\n"},
        {"ReadingsAsTheyAreWithoutRounding", Samples{{{0.1F, 0}, {199.999F, 2000}}},
         Samples{{{0.5F, 0}, {100000.0F, 2000}}},
         "2025-03-30T00:59:58.000+00:00,0.1,0.5\n2025-03-30T01:00:00.000+00:00,199.999,100000\n"},
    };
    const auto history = [](const Samples& samples) {
        std::optional<SampleHistory> made;
        if (samples) {
            made.emplace(2);
            for (const auto& [value, after] : *samples)
                made->push(value, T0 + after);
        }
        return made;
    };
    // Numbers are the C locale's whatever the user's: no decimal commas.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const auto& [name, temperature, frequency, rows] : cases) {
        const std::optional<SampleHistory> t = history(temperature), f = history(frequency);
        EXPECT_EQ(HistoryCsv::text(t ? &*t : nullptr, f ? &*f : nullptr, QTimeZone::utc()),
                  u"time,temperature_celsius,frequency_mhz\n"_qs + QString::fromLatin1(rows))
            << name;
    }
    QLocale::setDefault(before);
}

TEST(HistoryCsvTest, TimesAreLocalWithTheOffsetOfTheirOwnMoment)
{
    const QTimeZone berlin("Europe/Berlin");
    if (!berlin.isValid())
        GTEST_SKIP() << "no time zone database";
    const std::tuple<QTimeZone, qint64, const char*> rows[] = {
        {berlin, T0 + 1999, "2025-03-30T01:59:59.999+01:00"},
        {berlin, T0 + 2000, "2025-03-30T03:00:00.000+02:00"},
        {QTimeZone(-16200), T0, "2025-03-29T20:29:58.000-04:30"},
        {QTimeZone::utc(), 0, "1970-01-01T00:00:00.000+00:00"},
    };
    for (const auto& [zone, time, text] : rows)
        EXPECT_EQ(HistoryCsv::time(time, zone), QString::fromLatin1(text)) << zone.id().data();
}

TEST(GraphScaleTest, ValuesSpanThePlotAndEqualOrNoValuesLieInTheMiddle)
{
    const QRectF plot(10, 20, 300, 100); // right 310, bottom 120
    const float largest = std::numeric_limits<float>::max();
    // clang-format off
    const struct { const char* name; std::vector<float> values; double lowest, highest; } cases[] = {
        {"none", {}, -1, 1},
        {"equal", {50, 50, 50}, 49, 51},
        {"closer than the smallest span", {50, 50.5F}, 49.25, 51.25},
        {"wide", {40, 90, 60}, 40, 90},
        {"huge", {-largest, largest}, -double(largest), double(largest)},
        {"not finite", {std::nanf(""), 50, std::numeric_limits<float>::infinity()}, 49, 51},
    };
    // clang-format on
    for (const auto& [name, values, lowest, highest] : cases) {
        SCOPED_TRACE(name);
        GraphScale scale(plot, 300);
        for (const float value : values)
            scale.include(value);
        EXPECT_EQ(std::pair(scale.lowest(), scale.highest()), std::pair(lowest, highest));
        EXPECT_DOUBLE_EQ(scale.y(lowest), 120);
        EXPECT_DOUBLE_EQ(scale.y(highest), 20);
        EXPECT_DOUBLE_EQ(scale.y((lowest + highest) / 2), 70);
        EXPECT_EQ(std::pair(scale.y(-double(largest) * 4), scale.y(double(largest) * 4)),
                  std::pair(120.0, 20.0));
    }
    // The newest sample stands at the right, and a full history reaches the left.
    EXPECT_EQ(GraphScale(plot, 301).x(300, 301), 310);
    EXPECT_EQ(GraphScale(plot, 301).x(0, 301), 10);
    EXPECT_EQ(GraphScale(plot, 301).x(0, 151), 160); // half full: starts half way
    EXPECT_EQ(GraphScale(plot, 1).x(0, 1), 310);
    EXPECT_EQ(GraphScale(plot, 0).x(0, 1), 310);
}

// A gauge that reads what the test sets, or rises by 7.5 at each reading.
struct SettableGauge : Gauge
{
    float gauge() override { return reading += step; }
    float reading = 800, step = 7.5F;
};

struct HistoryGraphTest : testing::Test
{
    void update() { graph.updateWithGaugeReader(*reader, transformer); }

    const FrequencyValueTransformer transformer;
    QWidget parent;
    const bool sized = [this] {
        parent.resize(360, 130);
        return true;
    }();
    HistoryGraph graph{QPointF(10, 10), &parent};
    std::shared_ptr<SettableGauge> gauge = std::make_shared<SettableGauge>();
    std::unique_ptr<GaugeReader> reader = GaugeReader::initWithGauge(gauge, 60);
};

// Each history paints differently from the one before, and a rising one
// rises to the right, the newest samples last.
TEST_F(HistoryGraphTest, PaintsEmptyOneFullAndWrappedHistories)
{
    QImage before;
    for (const int samples : {0, 1, 9, 5}) {
        for (int sample = 0; sample < samples; ++sample)
            reader->_gaugeTimerFired();
        update();
        QImage image(graph.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        graph.draw(painter);
        painter.end();
        EXPECT_NE(image, before) << reader->history().size();
        before = image;
    }
    EXPECT_EQ(reader->history().size(), 10);
    // The line is the one coloured thing drawn: its top at its first and last column.
    std::vector<QPoint> tops;
    for (int x = 0; x < before.width(); ++x) {
        for (int y = 0; y < before.height(); ++y) {
            const QColor pixel(before.pixel(x, y));
            const int r = pixel.red(), g = pixel.green(), b = pixel.blue();
            if (std::max({r, g, b}) - std::min({r, g, b}) > 40) {
                tops.emplace_back(x, y);
                break;
            }
        }
    }
    ASSERT_FALSE(tops.empty());
    EXPECT_GT(tops.back().x() - tops.front().x(), 200);
    EXPECT_LT(tops.back().y(), tops.front().y() - 20);
}

// The regions the graph was asked to paint.
struct PaintedRegions : QObject
{
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            regions.append(static_cast<QPaintEvent*>(event)->region());
        return false;
    }
    QList<QRegion> regions;
};

// While the axis keeps its labels, a sample repaints the plot alone; a
// sample that moves the axis repaints the whole graph, frame and labels.
TEST_F(HistoryGraphTest, ASampleRepaintsThePlotAloneWhileTheAxisStays)
{
    gauge->step = 0;
    reader = GaugeReader::initWithGauge(gauge, 2);
    PaintedRegions painted;
    graph.installEventFilter(&painted);
    parent.show();
    const auto sample = [&](float reading) {
        gauge->reading = reading;
        reader->_gaugeTimerFired();
        update();
        painted.regions.clear();
        QCoreApplication::processEvents();
        return painted.regions.isEmpty() ? QRegion() : painted.regions.constLast();
    };
    const QRect whole = graph.rect();
    EXPECT_EQ(sample(50), QRegion(whole)) << "the first samples";
    sample(50.4F);
    // The same labels: the frame's rows and sides are not painted again.
    const QRegion plot = sample(50.2F);
    EXPECT_FALSE(plot.isEmpty());
    EXPECT_FALSE(plot.intersects(QRect(whole.left(), 0, whole.width(), 1)));
    EXPECT_FALSE(plot.intersects(QRect(whole.left(), whole.bottom(), whole.width(), 1)));
    EXPECT_FALSE(plot.contains(QPoint(whole.right(), whole.center().y())));
    EXPECT_LT(plot.boundingRect().height(), 96);
    EXPECT_EQ(sample(900), QRegion(whole)); // a new top of the scale changes the labels
}

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

    // In order of use; the process-wide ones stay current until those below are gone.
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
