// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TemperatureController.h"

#include "FixtureBundle.h"
#include "FixtureTree.h"
#include "RecordingNotifications.h"
#include "ScriptedAlerts.h"
#include "SensorMachine.h"
#include "SettingsFile.h"
#include "defaults/Settings.h"
#include "hardware/IORegistry.h"
#include "hardware/KernelValues.h"
#include "measurement/GaugeReader.h"
#include "platform/ApplicationTermination.h"
#include "statistics_window/ExternalWindowController.h"
#include "statistics_window/StatisticsView.h"
#include "uninstall/UninstallAlertController.h"

#include <QApplication>
#include <QMap>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

namespace calidra {
namespace {

const QString Temperature = u"sys/class/hwmon/hwmon0/temp1_input"_qs;
const QString Frequency = u"sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq"_qs;

// An x86 machine whose temperature driver is loaded, at 52 degrees and 2 GHz,
// with the shipped model list, and settings kept in a temporary file.
class TemperatureControllerTest : public testing::Test
{
protected:
    TemperatureControllerTest()
    {
        tree.addFile(u"proc/cpuinfo"_qs, FixtureTree::cpuinfo("GenuineIntel"));
        tree.addFile(u"sys/devices/system/cpu/online"_qs, "0\n");
        tree.addHwmon(0, "coretemp", {{"Package id 0", "52000"}});
        tree.addFile(Frequency, "2000000\n");
        bundle.addResource(u"IntelModels.plist"_qs, shippedFile("IntelModels.plist"));
        bundle.addResource(u"Scripts/statSpeedIt.sh"_qs, "echo 1\n");
        defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::celsius);
    }

    QString title() const { return controller.currentStatusItem()->title(); }
    void sample() { controller.currentTemperatureReader()->_gaugeTimerFired(); }
    void sampleBoth()
    {
        controller.currentFrequencyReader()->_gaugeTimerFired();
        sample();
    }
    QStringList toolTipHead() const
    {
        return controller.currentStatusItem()->toolTip().split(u'\n').mid(0, 2);
    }

    // The menu's reason item (empty while hidden) and the ten-minute average item.
    std::pair<QString, QString> reasonAndAverage()
    {
        StatusMenu& menu = *controller.statusMenu();
        menu.validateItems([this](MenuItem& item) { return controller.validateMenuItem(item); });
        QAction* reason = menu.itemWithTag(StatusPresenter::NoReadingReasonTag);
        return {reason->isVisible() ? reason->text() : QString(),
                menu.itemWithTag(StatusPresenter::TenMinuteAverageTag)->text()};
    }

    // The enabled commands of the status menu by their titles.
    QMap<QString, QAction*> commands() const
    {
        QMap<QString, QAction*> found;
        for (QAction* action : controller.statusMenu()->actions()) {
            if (action->isEnabled() && !action->isSeparator() && !action->data().isValid())
                found.insert(action->text(), action);
        }
        return found;
    }

    // After the commands of a modal loop: nothing opened or quit.
    void expectNothingRan()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        EXPECT_FALSE(std::any_of(windows.begin(), windows.end(), [](const QWidget* window) {
            return window->isVisible() && window->inherits("calidra::PreferenceController");
        }));
        EXPECT_FALSE(termination.isTerminationRequested());
        EXPECT_FALSE(ExternalWindowController::isShowing());
    }

    // In order of use; the process-wide ones stay current until those below are gone.
    FixtureTree tree;
    FixtureBundle bundle;
    // The status icon, in place before the controller looks for it.
    const bool iconAdded = [this] {
        bundle.addResource(u"Status Icon.svg"_qs, "<svg xmlns='http://www.w3.org/2000/svg'/>");
        return true;
    }();
    IORegistry registry{tree.root()};
    KernelValues values{tree.root()};
    SettingsFile settings;
    UserDefaults& defaults = settings.defaults;
    ScriptedAlerts alerts;
    RecordingNotifications notifications;
    ApplicationTermination termination;
    TemperatureController controller;
};

// Stored settings that would leave no reader are corrected at start-up
// (UserDefaultsSetupTest), so that the alert about a missing sensor means
// what it says; where no gauge can run, start-up ends at that alert.
TEST_F(TemperatureControllerTest, StartsWithTheCorrectedSettingsOrTellsThatNoSensorWorks)
{
    {
        SettingsFile stored("gaugeTemperature=false\ngaugeFrequency=false\n");
        TemperatureController started;
        started.awakeFromNib();
        ASSERT_NE(started.currentTemperatureReader(), nullptr);
        EXPECT_EQ(started.currentTemperatureReader()->frequency(), 2.0);
    }
    EXPECT_FALSE(termination.isTerminationRequested());
    registry.cacheMachineModel(u"SomeOtherVendor"_qs);
    defaults.setValue<Settings::GaugeTemperature>(false);
    defaults.setValue<Settings::GaugeFrequency>(true);
    alerts.expect({u"No working temperature sensors found."_qs,
                   u"Calidra was unable to find a sensor (ID: SomeOtherVendor)."_qs,
                   {u"Quit"_qs},
                   true},
                  u"Quit"_qs);
    controller.awakeFromNib();
    EXPECT_TRUE(termination.isTerminationRequested());
    EXPECT_EQ(controller.currentStatusItem(), nullptr);
}

TEST_F(TemperatureControllerTest, OnlyTheTemperatureReaderRefreshesWhileItRuns)
{
    defaults.setValue<Settings::GaugeFrequency>(true);
    controller.awakeFromNib();
    EXPECT_EQ(title(), u"Please wait..."_qs);
    tree.addFile(Frequency, "3000000\n");
    controller.currentFrequencyReader()->_gaugeTimerFired();
    EXPECT_EQ(title(), u"Please wait..."_qs);
    sample();
    EXPECT_EQ(title(), u"52℃ 3.00 GHz"_qs);
    // Without the temperature reader, the frequency reader's samples refresh.
    defaults.setValue<Settings::GaugeTemperature>(false);
    EXPECT_EQ(title(), u"52℃ 3.00 GHz"_qs);
    tree.addFile(Frequency, "2500000\n");
    controller.currentFrequencyReader()->_gaugeTimerFired();
    EXPECT_EQ(title(), u"2.50 GHz"_qs);
}

// Where the unit follows the locale, it follows a change of the locale too,
// though no sample reads the locale.
TEST_F(TemperatureControllerTest, SettingsAndLocaleChangesAreFollowedAtOnce)
{
    controller.awakeFromNib();
    defaults.setValue<Settings::GaugeFrequency>(true);
    ASSERT_NE(controller.currentFrequencyReader(), nullptr);
    defaults.setFloat(5.0F, Settings::Frequency::name);
    EXPECT_EQ(controller.currentTemperatureReader()->frequency(), 5.0);
    EXPECT_EQ(controller.currentFrequencyReader()->frequency(), 5.0);
    EXPECT_EQ(title(), u"52℃ 2.00 GHz"_qs);
    defaults.setValue<Settings::ArrangeVertically>(true); // StatusPresenterTest has the layouts
    EXPECT_EQ(title(), u"52℃\n2.00 GHz"_qs);

    // A gauge switched off and on starts afresh: the new reader never saw 70.
    tree.addFile(Temperature, "70000\n");
    sample();
    EXPECT_EQ(title(), u"70℃\n2.00 GHz"_qs);
    tree.addFile(Temperature, "52000\n");
    defaults.setValue<Settings::GaugeTemperature>(false);
    EXPECT_EQ(controller.currentTemperatureReader(), nullptr);
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::fahrenheit);
    EXPECT_EQ(title(), u"2.00 GHz"_qs);
    defaults.setValue<Settings::GaugeTemperature>(true);
    ASSERT_NE(controller.currentTemperatureReader(), nullptr);
    EXPECT_EQ(controller.currentTemperatureReader()->overallMaximum(), 52.0F);
    EXPECT_EQ(controller.currentTemperatureReader()->overallLife(), 5.0);

    const QLocale kept;
    QLocale::setDefault(QLocale(u"de_DE"_qs));
    defaults.setValue<Settings::GaugeFrequency>(false);
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::byLocale);
    sample();
    EXPECT_EQ(title(), u"52℃"_qs);
    QLocale::setDefault(QLocale(u"en_US"_qs));
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &change);
    EXPECT_EQ(title(), u"126℉"_qs);
    QLocale::setDefault(kept);
}

// A panel's click may come in the event loop of the uninstall dialog or the
// About box; every command that arrives meanwhile is dropped.
TEST_F(TemperatureControllerTest, MenuShowsTheStatisticsAndCommandsWhileADialogIsUpAreDropped)
{
    controller.awakeFromNib();
    StatusMenu& menu = *controller.statusMenu();
    menu.validateItems([this](MenuItem& item) { return controller.validateMenuItem(item); });
    for (int tag = StatusPresenter::IntervalTag; tag <= StatusPresenter::OverallMaximumTag; ++tag) {
        ASSERT_NE(menu.itemWithTag(tag), nullptr) << tag;
        EXPECT_FALSE(menu.itemWithTag(tag)->isEnabled()) << tag;
    }
    EXPECT_EQ(reasonAndAverage(), std::pair(QString(), u"    52.00℃ Average"_qs));
    EXPECT_EQ(menu.itemWithTag(StatusPresenter::IntervalTag)->text(),
              u"Updating every 2.0 seconds"_qs);
    const QMap<QString, QAction*> all = commands();
    EXPECT_EQ(all.keys(), (QStringList{u"About Calidra"_qs, u"Preferences..."_qs, u"Quit"_qs,
                                       u"Quit and Uninstall..."_qs, u"Statistics..."_qs}));
    const auto triggerAll = [&all] {
        for (QAction* command : all)
            command->trigger();
    };

    bool dialogShown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<UninstallAlertController*>(QApplication::activeModalWidget());
        dialogShown = dialog != nullptr;
        triggerAll();
        if (dialog)
            dialog->cancel();
    });
    all.value(u"Quit and Uninstall..."_qs)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialogShown);
    expectNothingRan();

    const QObject context;
    QTimer::singleShot(0, &context, [] {
        if (auto* dialog =
                qobject_cast<UninstallAlertController*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "the uninstall dialog opened";
            dialog->cancel();
        }
    });
    alerts.expect({u"Calidra "_qs + QCoreApplication::applicationVersion(),
                   controller.aboutText(),
                   {u"OK"_qs},
                   false},
                  u"OK"_qs, triggerAll);
    all.value(u"About Calidra"_qs)->trigger();
    expectNothingRan();
    all.value(u"Quit"_qs)->trigger();
    EXPECT_TRUE(termination.isTerminationRequested());
}

TEST_F(TemperatureControllerTest, WhileTheStatisticsWindowIsOpenSamplesGoToItAndNotTheTitle)
{
    controller.awakeFromNib();
    // A panel's primary click where the panel opens the menu on the other.
    controller.currentStatusItem()->activate();
    ExternalWindowController* window = ExternalWindowController::showExternalWindow();
    ASSERT_NE(window->temperaturePanel(), nullptr);
    const auto shown = [window] {
        return window->temperaturePanel()->description().split(u'\n').value(3);
    };
    EXPECT_EQ(shown(), u"\t52.00℃"_qs);
    EXPECT_EQ(title(), QString());
    tree.addFile(Temperature, "61000\n");
    sample();
    defaults.setValue<Settings::ShowIcon>(true);
    EXPECT_EQ(title(), QString());
    EXPECT_EQ(shown(), u"\t61.00℃"_qs);
    // The frequency's samples update nothing while the temperature refreshes,
    // so the window asks for its latest history before it is saved.
    defaults.setValue<Settings::GaugeFrequency>(true);
    controller.currentFrequencyReader()->_gaugeTimerFired();
    EXPECT_TRUE(window->lastTenMinutesCsv().endsWith(u",61,\n"_qs));
    emit window->updateWanted();
    EXPECT_TRUE(window->lastTenMinutesCsv().endsWith(u",61,2000\n"_qs));
    window->close();
    EXPECT_EQ(title(), u"61℃ 2.00 GHz"_qs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(ExternalWindowController::isShowing());
}

TEST_F(TemperatureControllerTest, WithoutAnySensorTheTitleAndMenuSayWhyAfterTheFirstInterval)
{
    tree.remove(u"sys/class/hwmon"_qs);
    controller.awakeFromNib();
    EXPECT_EQ(title(), u"Please wait..."_qs);
    EXPECT_EQ(reasonAndAverage(), std::pair(QString(), u"    Average"_qs)); // no 0.00℃
    const QString reason = u"The processor temperature driver (coretemp) is not loaded."_qs;
    sample();
    EXPECT_EQ(title(), u"No reading"_qs);
    EXPECT_EQ(controller.currentStatusItem()->values(), QStringList{u"?"_qs});
    EXPECT_EQ(controller.currentStatusItem()->toolTip(), u"No reading\n"_qs + reason);
    EXPECT_EQ(reasonAndAverage(), std::pair(reason, u"    Average"_qs));
    EXPECT_TRUE(controller.aboutText().contains(u"\n\n"_qs + reason + u"\n\n"_qs));
    // The driver loaded: its first reading clears it. (The average, seeded with
    // nothing, catches up at the second reading.)
    tree.addHwmon(0, "coretemp", {{"Package id 0", "52000"}});
    sample();
    EXPECT_EQ(title(), u"52℃"_qs);
    sample();
    EXPECT_EQ(reasonAndAverage(), std::pair(QString(), u"    52.00℃ Average"_qs));
    EXPECT_EQ(controller.aboutText().split(u"\n\n"_qs).value(1),
              u"Temperature sensor: coretemp, Package id 0"_qs);
}

// The frequency's 2000 MHz lies above any threshold: only the temperature
// counts. A new threshold or no temperature ends the alarm at once, and its
// warning leaves the desktop.
TEST_F(TemperatureControllerTest, TheTemperatureAloneFiresTheAlarmOnceAndMarksTheTitleMeanwhile)
{
    defaults.setValue<Settings::GaugeFrequency>(true);
    defaults.setValue<Settings::AlarmEnabled>(true);
    defaults.setFloat(60, Settings::AlarmTemperature::name);
    controller.awakeFromNib();
    const auto heat = [this](const char* millidegrees) {
        tree.addFile(Temperature, millidegrees);
        sampleBoth();
        return controller.currentStatusItem()->alarm();
    };
    EXPECT_FALSE(heat("61000\n"));
    EXPECT_TRUE(notifications.events.isEmpty());
    EXPECT_TRUE(heat("62000\n"));
    EXPECT_TRUE(heat("63000\n"));
    EXPECT_EQ(notifications.events,
              QStringList{u"alarm: The processor is hot / The temperature is 62℃, at or above the "
                          "warning level of 60℃. Highest in the last ten minutes: 62℃."_qs});
    EXPECT_EQ(toolTipHead(), (QStringList{u"63℃ 2.00 GHz"_qs, u"The processor is hot"_qs}));
    defaults.setFloat(70, Settings::AlarmTemperature::name);
    EXPECT_FALSE(controller.currentStatusItem()->alarm());
    defaults.setFloat(60, Settings::AlarmTemperature::name);
    heat("63000\n");
    ASSERT_TRUE(heat("63000\n"));
    defaults.setValue<Settings::GaugeTemperature>(false);
    EXPECT_FALSE(controller.currentStatusItem()->alarm());
    EXPECT_EQ(notifications.events.filter(u" closed"_qs),
              (QStringList{u"alarm closed"_qs, u"alarm closed"_qs}));
}

// The graphics card chosen: the temperature reader starts afresh over it,
// the frequency reader runs on, and what shows the temperature names it.
// (A chosen sensor that goes missing is ChosenSensorGaugeTest's.)
TEST_F(TemperatureControllerTest,
       AChosenSensorTakesTheTemperatureReadersPlaceAndIsNamedWhereItShows)
{
    tree.remove(u"sys/class/hwmon"_qs);
    SensorMachine::add(tree);
    defaults.setValue<Settings::GaugeFrequency>(true);
    defaults.setValue<Settings::AlarmEnabled>(true);
    defaults.setFloat(60, Settings::AlarmTemperature::name);
    controller.awakeFromNib();
    sampleBoth();
    EXPECT_EQ(title(), u"55℃ 2.00 GHz"_qs);
    const double frequencyLife = controller.currentFrequencyReader()->overallLife();
    defaults.setValue<Settings::TemperatureSensor>(SensorMachine::gpuEdge());
    EXPECT_EQ(title(), u"48℃ 2.00 GHz"_qs);
    EXPECT_EQ(controller.currentTemperatureReader()->overallMaximum(), 48.0F);
    EXPECT_EQ(controller.currentFrequencyReader()->overallLife(), frequencyLife);
    EXPECT_TRUE(controller.aboutText().contains(u"\n\nTemperature sensor: amdgpu, edge\n\n"_qs));

    tree.addFile(u"sys/devices/"_qs + SensorMachine::GpuDevice + u"/hwmon/hwmon1/temp1_input"_qs,
                 "61000\n");
    sampleBoth();
    sampleBoth();
    EXPECT_EQ(notifications.events,
              QStringList{u"alarm: The chosen sensor (amdgpu, edge) is hot / The temperature is "
                          "61℃, at or above the warning level of 60℃. Highest in the last ten "
                          "minutes: 61℃."_qs});
    EXPECT_EQ(toolTipHead(),
              (QStringList{u"61℃ 2.00 GHz"_qs, u"The chosen sensor (amdgpu, edge) is hot"_qs}));
    defaults.removeObjectForKey(Settings::TemperatureSensor::name);
    EXPECT_EQ(title(), u"55℃ 2.00 GHz"_qs);
    EXPECT_EQ(controller.currentTemperatureReader()->chosenSensor(), std::nullopt);
    EXPECT_GT(controller.currentFrequencyReader()->overallLife(), frequencyLife);
}

} // namespace
} // namespace calidra
