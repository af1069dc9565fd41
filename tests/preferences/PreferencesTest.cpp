// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureBundle.h"
#include "FixtureTree.h"
#include "ScriptedAlerts.h"
#include "SensorMachine.h"
#include "defaults/Settings.h"
#include "defaults/UserDefaults.h"
#include "hardware/IORegistry.h"
#include "hardware/KernelValues.h"
#include "platform/LoginItems.h"
#include "preferences/PaneSwitcher.h"
#include "preferences/PreferenceController.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>

#include <tuple>

namespace calidra {

void PrintTo(const Frame& frame, std::ostream* out)
{
    *out << '(' << frame.x << ", " << frame.y << ", " << frame.width << ", " << frame.height << ')';
}

namespace {

// The Exec value of a desktop entry split into its arguments as a desktop
// does: the value's escapes undone, then the quoting and doubled percent signs.
QStringList execArguments(const QString& entry)
{
    const QString value = entry.section(u"\nExec="_qs, 1, 1).section(u'\n', 0, 0);
    QString s;
    for (qsizetype i = 0; i < value.size(); ++i)
        s += value[i] == u'\\' && i + 1 < value.size() ? value[++i] : value[i];
    QStringList arguments{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'"')
            quoted = !quoted;
        else if (!quoted && s[i] == u' ')
            arguments << QString();
        else if (i + 1 < s.size() &&
                 ((quoted && s[i] == u'\\') || (s[i] == u'%' && s[i + 1] == u'%')))
            arguments.last() += s[++i];
        else
            arguments.last() += s[i];
    }
    return arguments;
}

// The texts of a combo box's entries, each marked "(off)" where it cannot be chosen.
QStringList entries(const QComboBox& box)
{
    QStringList texts;
    for (int row = 0; row < box.count(); ++row) {
        const bool enabled = box.model()->flags(box.model()->index(row, 0)) & Qt::ItemIsEnabled;
        texts.append(box.itemText(row) + (enabled ? QString() : u" (off)"_qs));
    }
    return texts;
}

class PreferencesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        bundle.addResource(u"IntelModels.plist"_qs,
                           FixtureBundle::xml("<array><string>Listed1,1</string></array>"));
    }
    void TearDown() override { close(); }
    void close()
    {
        if (window)
            window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void open(const QString& model = u"Listed1,1"_qs)
    {
        registry.cacheMachineModel(model);
        window = PreferenceController::showPreferences(autostart.root());
        window->setResizeDuration(0);
    }
    template <typename T = QAbstractButton>
    T* child(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    bool flag(const QString& key) const { return defaults.boolForKey(key); }

    QPointer<PreferenceController> window;
    // In order of use; the process-wide ones stay current until those below are gone.
    FixtureTree home;
    FixtureTree autostart;
    FixtureBundle bundle;
    ScriptedAlerts alerts;
    IORegistry registry{home.root()};
    UserDefaults defaults{home.absolute(u"defaults.ini"_qs)};
};

TEST_F(PreferencesTest, UnlistedModelMeasuresTemperatureAloneWithFrequencyChoicesDisabled)
{
    defaults.setValue<Settings::GaugeFrequency>(true);
    defaults.setValue<Settings::ArrangeVertically>(true);
    open(u"Other1,1"_qs);
    EXPECT_TRUE(flag(Settings::GaugeTemperature::name));
    EXPECT_FALSE(flag(Settings::GaugeFrequency::name) || flag(Settings::ArrangeVertically::name));
    EXPECT_TRUE(child("gaugeTemperatureButton")->isChecked());
    for (const char* name : {"gaugeFrequencyButton", "gaugeBothButton", "textArrangementSwitch"})
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
    close();
    ASSERT_TRUE(QFile::remove(defaults.fileName()));
    open(u"Other1,1"_qs);
    EXPECT_FALSE(QFile::exists(defaults.fileName())) << "an opening with nothing to correct writes";
}

// The frames' rule is PaneSwitcherTest's; showing the pane that is up changes nothing.
TEST_F(PreferencesTest, ChosenRowsStoreTheMeasurementsAndPanesSwitchKeepingTopAndCentre)
{
    defaults.setValue<Settings::GaugeTemperature>(true);
    defaults.setValue<Settings::GaugeFrequency>(true);
    open();
    EXPECT_TRUE(child("gaugeBothButton")->isChecked());
    // clang-format off
    const struct { const char* button; bool temperature, frequency; } rows[] = {
        {"gaugeTemperatureButton", true, false}, {"gaugeBothButton", true, true},
        {"gaugeFrequencyButton", false, true},
    };
    // clang-format on
    for (const auto& [button, temperature, frequency] : rows) {
        child(button)->click();
        EXPECT_EQ(flag(Settings::GaugeTemperature::name), temperature) << button;
        EXPECT_EQ(flag(Settings::GaugeFrequency::name), frequency) << button;
    }
    // Neither setting changes what a panel shows, and the controls say why.
    for (const char* name : {"textArrangementSwitch", "fontSizeField"}) {
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
        EXPECT_TRUE(child<QWidget>(name)->toolTip().startsWith(u"The panel chooses"_qs)) << name;
    }

    const QRect before = window->geometry();
    auto* display = child<QAction>("CLDisplayPreferencesToolbarItem");
    display->trigger();
    EXPECT_EQ(window->centralWidget()->size(), QSize(415, 240));
    EXPECT_EQ(window->geometry().top(), before.top());
    const QRect shown = window->geometry();
    const QWidget* content = window->centralWidget();
    display->trigger();
    EXPECT_EQ(window->geometry(), shown);
    EXPECT_EQ(window->centralWidget(), content);
}

TEST_F(PreferencesTest, SwitchingOffRemovesEveryLoginItemAndOnAddsOneUnlessNoDesktopCouldStartIt)
{
    const LoginItems items(autostart.root());
    for (int n = 0; n < 3; ++n)
        ASSERT_TRUE(items.make(u"Calidra"_qs, u"/elsewhere/calidra"_qs));
    ASSERT_TRUE(items.make(u"Other"_qs, u"/other"_qs));
    // Another program's entry with an action named like the program, its
    // groups in any order: only the Name of the main group makes an entry ours.
    autostart.addFile(u"foreign.desktop"_qs,
                      "[Desktop Action calidra]\nName=Calidra\nExec=foreign --calidra\n\n"
                      "[Desktop Entry]\nType=Application\nName=Foreign\nExec=foreign\n");
    open();
    auto* loginSwitch = child("loginItemSwitch");
    EXPECT_TRUE(loginSwitch->isChecked());
    loginSwitch->click();
    EXPECT_FALSE(items.exists(u"Calidra"_qs));
    EXPECT_TRUE(items.exists(u"Other"_qs));
    EXPECT_TRUE(QFile::exists(autostart.absolute(u"foreign.desktop"_qs)));
    loginSwitch->click();
    EXPECT_EQ(QDir(autostart.root()).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(execArguments(QString::fromUtf8(
                  FixtureTree::readFile(autostart.absolute(u"calidra.desktop"_qs)))),
              QStringList{bundle.tree.absolute(u"Calidra/calidra"_qs)});

    // Which paths a desktop cannot start is the next test's table; here the switch tells it.
    loginSwitch->click();
    const QString path = home.absolute(u"100%/Calidra"_qs);
    const Bundle moved(path);
    alerts.expect({u"Calidra cannot start at login from “%1”."_qs.arg(path),
                   u"The desktop cannot start a program whose folder name holds “%” or is "
                   u"not valid UTF-8. Move Calidra to a folder whose name has no “%” and "
                   u"only valid UTF-8, then turn this on again."_qs,
                   {u"OK"_qs},
                   false},
                  u"OK"_qs);
    loginSwitch->click();
    EXPECT_FALSE(loginSwitch->isChecked());
    EXPECT_EQ(QDir(autostart.root()).entryList(QDir::Files).size(), 2);
}

TEST_F(PreferencesTest, ExecStartsAwkwardBundlePathsAndNoneItCannotStart)
{
    home.addFile(u"caf\uFFFD/calidra"_qs, {}); // a folder whose name really holds U+FFFD
    // The bundle's path, whether an entry is made.
    const std::pair<QString, bool> cases[] = {
        {u"/opt/Calidra/calidra"_qs, true},
        {u"/home/a b/My \"Apps\"/$HOME/x\\y/`id`/calidra"_qs, true},
        {u"/tmp/it's;here&(now)/calidra"_qs, true},
        {home.absolute(u"caf\uFFFD/calidra"_qs), true},
        {u"/opt/100%/calidra"_qs, false},
        {u"/opt/caf\uFFFD/calidra"_qs, false},
    };
    // Inside quotes a desktop reads "$" and "`" as a shell would: each is escaped.
    const QRegularExpression unescaped(u"(^|[^\\\\])[$`]"_qs);
    for (const auto& [path, made] : cases) {
        SCOPED_TRACE(path.toStdString());
        QTemporaryDir folder;
        ASSERT_EQ(LoginItems(folder.path()).make(u"Calidra"_qs, path), made);
        EXPECT_EQ(QDir(folder.path()).isEmpty(), !made);
        if (!made)
            continue;
        const QString text =
            QString::fromUtf8(FixtureTree::readFile(folder.filePath(u"calidra.desktop"_qs)));
        EXPECT_TRUE(text.startsWith(u"[Desktop Entry]\n"_qs) &&
                    text.contains(u"\nName=Calidra\n"_qs))
            << text.toStdString();
        EXPECT_EQ(execArguments(text), QStringList{path});
        EXPECT_FALSE(text.section(u"\nExec="_qs, 1).contains(unescaped)) << text.toStdString();
    }
}

TEST_F(PreferencesTest, ControlsFollowTheDefaultsAndWriteThem)
{
    open();
    auto* unit = child<QComboBox>("displayUnitChooser");
    auto* slider = child<QSlider>("frequencySlider");
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::fahrenheit);
    EXPECT_EQ(unit->currentIndex(), 2);
    defaults.setInteger(7, Settings::DisplayUnit::name);
    EXPECT_EQ(unit->currentIndex(), 0) << "an unknown unit behaves as automatic";
    defaults.setFloat(17.6f, Settings::FontSize::name);
    EXPECT_EQ(child<QSpinBox>("fontSizeField")->value(), 18);
    defaults.setFloat(0.1f, Settings::Frequency::name);
    EXPECT_EQ(slider->value(), 0) << "the nearest interval offered";
    defaults.setFloat(5, Settings::Frequency::name);
    EXPECT_EQ(slider->value(), 5);
    EXPECT_TRUE(child<QLabel>("frequencyLabel")->text().contains(u"5.0"_qs));
    defaults.setValue<Settings::ArrangeVertically>(true);
    EXPECT_TRUE(child("arrangeVerticallyButton")->isChecked());
    defaults.setValue<Settings::ArrangeVertically>(false);
    EXPECT_TRUE(child("arrangeSideBySideButton")->isChecked());

    slider->setValue(11);
    EXPECT_EQ(defaults.floatForKey(Settings::Frequency::name), 60);
    child("showIconSwitch")->click();
    EXPECT_TRUE(flag(Settings::ShowIcon::name));
}

// 90.3 ℃ shows as 195 ℉, which would read back as 90.56 ℃: only an edit
// stores a threshold, and a damaged one shows in range without being rewritten.
TEST_F(PreferencesTest, WarningShowsItsThresholdInTheDisplayUnitAndStoresOnlyEdits)
{
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::celsius);
    defaults.setFloat(90.3F, Settings::AlarmTemperature::name);
    open();
    auto* warn = child("alarmSwitch");
    auto* field = child<QSpinBox>("alarmTemperatureField");
    EXPECT_FALSE(warn->isChecked() || field->isEnabled());
    warn->click();
    EXPECT_TRUE(flag(Settings::AlarmEnabled::name) && field->isEnabled());
    using Shown = std::tuple<int, int, int, QString>;
    const auto shown = [field] {
        return Shown{field->value(), field->minimum(), field->maximum(), field->suffix()};
    };
    EXPECT_EQ(shown(), Shown(90, 50, 110, u" ℃"_qs));
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::fahrenheit);
    EXPECT_EQ(shown(), Shown(195, 122, 230, u" ℉"_qs));
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::celsius);
    EXPECT_EQ(defaults.floatForKey(Settings::AlarmTemperature::name), 90.3F);
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::fahrenheit);
    field->setValue(203);
    EXPECT_FLOAT_EQ(defaults.floatForKey(Settings::AlarmTemperature::name), 95.0F);
    for (const auto& [stored, value] : {std::pair(500.0F, 230), std::pair(-40.0F, 122)}) {
        defaults.setFloat(stored, Settings::AlarmTemperature::name);
        EXPECT_EQ(field->value(), value);
        EXPECT_EQ(defaults.floatForKey(Settings::AlarmTemperature::name), stored);
    }
    warn->click();
    EXPECT_FALSE(field->isEnabled());
}

TEST_F(PreferencesTest, SensorListOffersEveryInputWithItsValueAndKeepsTheChoice)
{
    FixtureTree machine;
    SensorMachine::add(machine);
    const KernelValues values(machine.root());
    defaults.registerDefaults(Settings::registeredFallbacks());
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::celsius);
    open();
    auto* sensors = child<QComboBox>("sensorChooser");
    // clang-format off
    const QStringList inputs{
        u"acpitz, temp1: 28℃"_qs, u"amdgpu, edge: 48℃"_qs, u"amdgpu, junction: 51℃"_qs,
        u"amdgpu, mem: 50℃"_qs, u"coretemp, Package id 0: 55℃"_qs, u"coretemp, Core 0: 53℃"_qs,
        u"coretemp, Core 1: 54℃"_qs, u"nct6798, SYSTIN: 35℃"_qs, u"nct6798, CPUTIN: 42℃"_qs,
        u"nct6798, AUXTIN0: no reading"_qs, u"nvme, Composite: 40℃"_qs, u"nvme, Sensor 1: 40℃"_qs,
        u"nvme, Sensor 2: 46℃"_qs, u"acpitz (zone 0): 28℃"_qs, u"x86_pkg_temp (zone 1): 55℃"_qs};
    // clang-format on
    EXPECT_EQ(entries(*sensors), QStringList{u"Automatic (processor)"_qs} + inputs);
    EXPECT_EQ(sensors->currentIndex(), 0);
    const auto stored = [this] {
        return FixtureTree::readFile(defaults.fileName()).contains("temperatureSensor");
    };
    EXPECT_FALSE(stored()) << "showing the list writes nothing";
    QTest::keyClick(sensors, Qt::Key_Down);
    QTest::keyClick(sensors, Qt::Key_Down);
    EXPECT_EQ(defaults.value<Settings::TemperatureSensor>(), SensorMachine::gpuEdge());
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::fahrenheit);
    EXPECT_EQ(sensors->currentText(), u"amdgpu, edge: 118℉"_qs);
    defaults.setValue<Settings::GaugeTemperature>(false);
    EXPECT_FALSE(sensors->isEnabled());
    defaults.setValue<Settings::GaugeTemperature>(true);
    EXPECT_TRUE(sensors->isEnabled());
    close();

    // The card gone, its choice shows and stays until another is made.
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::celsius);
    machine.remove(u"sys/class/hwmon/hwmon1"_qs);
    open();
    sensors = child<QComboBox>("sensorChooser");
    EXPECT_EQ(sensors->count(), 1 + inputs.size() - 3 + 1);
    EXPECT_EQ(sensors->currentText(), u"amdgpu, edge: not found"_qs);
    EXPECT_EQ(defaults.value<Settings::TemperatureSensor>(), SensorMachine::gpuEdge());
    QTest::keyClick(sensors, Qt::Key_Home);
    EXPECT_FALSE(stored()) << "the automatic choice is no choice stored";
    close();

    // Inputs that nothing tells apart cannot be chosen; a choice of them reads as automatic.
    machine.addHwmon(7, "spd5118", {{nullptr, "31000"}});
    machine.addHwmon(8, "spd5118", {{nullptr, "32000"}});
    defaults.setString(u"{\"channel\":1,\"driver\":\"spd5118\"}"_qs,
                       Settings::TemperatureSensor::name);
    open();
    sensors = child<QComboBox>("sensorChooser");
    EXPECT_EQ(entries(*sensors).filter(u"spd5118"_qs),
              (QStringList{u"spd5118, temp1: 31℃ (off)"_qs, u"spd5118, temp1: 32℃ (off)"_qs}));
    EXPECT_EQ(sensors->currentIndex(), 0);
}

TEST_F(PreferencesTest, KeysSwitchPanesAndCloseTheWindow)
{
    open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const std::pair<QKeyCombination, int> presses[] = {
        {Qt::CTRL | Qt::Key_Tab, 1},
        {Qt::CTRL | Qt::Key_PageUp, 0},
        {Qt::CTRL | Qt::Key_PageDown, 1},
        {Qt::ALT | Qt::Key_G, 0},
        {Qt::ALT | Qt::Key_A, 1},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 0},
        {Qt::CTRL | Qt::Key_PageUp, 1}, // from the first pane round to the last
        {Qt::Key_Escape, -1},
        {Qt::CTRL | Qt::Key_W, -1}, // -1: closed
    };
    for (const auto& [keys, pane] : presses) {
        SCOPED_TRACE(QKeySequence(keys).toString().toStdString());
        if (pane < 0) {
            close();
            open();
            ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        }
        QTest::keyClick(window, keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(pane < 0 ? -1 : window->state(), pane);
        EXPECT_EQ(window->isVisible(), pane >= 0);
    }
}

TEST_F(PreferencesTest, OpensCentredOnScreenWithoutUpdateCheckOrMissingSettingsTools)
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    open();
    qputenv("PATH", path);
    EXPECT_TRUE(
        QGuiApplication::primaryScreen()->availableGeometry().contains(window->frameGeometry()))
        << window->frameGeometry().y();
    EXPECT_FALSE(child("updateCheckSwitch"));
    for (const char* name : {"startupApplicationsButton", "regionalSettingsButton"})
        EXPECT_TRUE(!child(name)->isEnabled() && !child(name)->toolTip().isEmpty()) << name;
    const QRect screen(100, 40, 800, 600);
    EXPECT_EQ(PreferenceController::centredFrame(QSize(400, 300), screen),
              QRect(300, 190, 400, 300));
    EXPECT_EQ(PreferenceController::centredFrame(QSize(900, 700), screen).topLeft(),
              QPoint(100, 40));
}

// A pane's size is fixed, so its content must fit it: every group box lies
// inside the pane and is not pressed below the size its rows need. German texts
// are longer (the English ones are checked once); the General pane also keeps
// room for a desktop font a point larger than the default.
TEST_F(PreferencesTest, EveryBoxOfEachPaneIsWholeAtThePaneSize)
{
    // clang-format off
    const struct { const char* item; int state; const char* translation; int larger; } rows[] = {
        {"CLGeneralPreferencesToolbarItem", 0, "calidra",    0},
        {"CLGeneralPreferencesToolbarItem", 0, "calidra_de", 1},
        {"CLDisplayPreferencesToolbarItem", 1, "calidra_de", 0},
    };
    // clang-format on
    const QFont font = QApplication::font();
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.item << ' ' << row.translation << row.larger);
        QTranslator translator;
        ASSERT_TRUE(translator.load(QString::fromLatin1(row.translation),
                                    QStringLiteral(CALIDRA_TRANSLATIONS_DIR)));
        QCoreApplication::installTranslator(&translator);
        QFont larger = font;
        larger.setPointSize(font.pointSize() + row.larger);
        QApplication::setFont(larger);
        open();
        child<QAction>(row.item)->trigger();
        const QWidget* pane = window->centralWidget();
        const QSize size = PreferenceController::CLPreferencePaneSizes[row.state].toSize();
        EXPECT_EQ(pane->size(), size);
        const auto boxes = pane->findChildren<QGroupBox*>();
        EXPECT_FALSE(boxes.isEmpty());
        for (const QGroupBox* box : boxes) {
            const QRect frame(box->mapTo(pane, QPoint()), box->size());
            EXPECT_TRUE(QRect(QPoint(), size).contains(frame)) << box->title().toStdString();
            EXPECT_GE(box->height(), box->minimumSizeHint().height()) << box->title().toStdString();
            EXPECT_GE(box->width(), box->minimumSizeHint().width()) << box->title().toStdString();
        }
        close();
        QApplication::setFont(font);
        QCoreApplication::removeTranslator(&translator);
    }
}

TEST(PaneSwitcherTest, NextFrameKeepsBorderTopEdgeAndCentre)
{
    // clang-format off
    const struct { const char* name; Frame window; QSizeF content, pane; Frame next; } cases[] = {
        {"shorter",           {100, 200, 420, 440}, {415, 358}, {415, 240}, {100,   318, 420, 322}},
        {"taller",            {100, 318, 420, 322}, {415, 240}, {415, 358}, {100,   200, 420, 440}},
        {"narrower, odd",     {100, 200, 420, 440}, {415, 358}, {400, 358}, {107.5, 200, 405, 440}},
        {"wider and shorter", {100, 200, 420, 440}, {415, 358}, {515, 300}, {50,    258, 520, 382}},
    };
    // clang-format on
    for (const auto& [name, window, content, pane, next] : cases)
        EXPECT_EQ(PaneSwitcher::nextWindowFrame(window, content, pane), next) << name;
}

// Showing panes by item is PreferencesTest's; here, an item of no pane.
TEST(PaneSwitcherTest, AnItemOfNoPaneShowsTheFirstAndAPaneNotShownStaysTheWindows)
{
    QMainWindow window;
    auto* switcher = new PaneSwitcher(&window, u"toolbar"_qs);
    switcher->setResizeDuration(0);
    window.show();
    QAction stray;
    switcher->showPane(&stray);
    EXPECT_EQ(switcher->state(), -1) << "no pane yet";
    auto* first = new QWidget;
    auto* second = new QWidget;
    switcher->addPane(u"first"_qs, "First", "", u"none"_qs, first, QSizeF(300, 200));
    switcher->showPane(
        switcher->addPane(u"second"_qs, "Second", "", u"none"_qs, second, QSizeF(300, 100)));
    EXPECT_FALSE(first->isVisible());
    switcher->showPane(&stray);
    EXPECT_EQ(switcher->state(), 0);
    EXPECT_EQ(window.centralWidget(), first);
    EXPECT_EQ(first->size(), QSize(300, 200));
    EXPECT_EQ(second->parent(), &window) << "a pane not shown stays the window's";
}

} // namespace
} // namespace calidra
