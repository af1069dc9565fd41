// SPDX-License-Identifier: GPL-3.0-or-later
#include "PreferenceController.h"

#include "defaults/Settings.h"
#include "defaults/UserDefaults.h"
#include "formatting/ObjectFormat.h"
#include "formatting/TemperatureValueTransformer.h"
#include "hardware/IORegistryEntry.h"
#include "measurement/IntelModels.h"
#include "platform/Alerts.h"
#include "platform/ApplicationActivation.h"
#include "platform/Bundle.h"
#include "platform/Localization.h"
#include "platform/SettingsPages.h"
#include "platform/WindowShortcuts.h"
#include "support/SharedWindow.h"
#include "ui_PreferencesWindowView.h"

#include <QActionGroup>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPropertyAnimation>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolBar>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace calidra {
namespace {

SharedWindow<PreferenceController> sharedPreferenceController;

const QString LoginItemName = u"Calidra"_qs;
const QString GeneralItem = u"CLGeneralPreferencesToolbarItem"_qs;
const QString DisplayItem = u"CLDisplayPreferencesToolbarItem"_qs;

// The sampling intervals the slider offers, in seconds.
constexpr std::array<double, 12> Intervals{0.5, 1, 2, 3, 4, 5, 10, 15, 20, 30, 45, 60};
static_assert(Intervals.front() == Settings::Frequency::shortest &&
              Intervals.back() == Settings::Frequency::longest);

int nearestInterval(double seconds)
{
    const auto distance = [seconds](double a, double b) {
        return std::abs(a - seconds) < std::abs(b - seconds);
    };
    return int(std::min_element(Intervals.begin(), Intervals.end(), distance) - Intervals.begin());
}

UserDefaults& defaults()
{
    return *UserDefaults::standardUserDefaults();
}

// The screen's height in points, the parent of every window frame.
double screenHeight()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0;
}

} // namespace

PreferenceController::PreferenceController(const QString& autostartFolder, bool intelModel)
    : m_ui(std::make_unique<Ui::PreferencesWindowView>()), m_loginItems(autostartFolder),
      isIntel(intelModel)
{
    m_ui->setupUi(this);
    awakeFromNib();
}

PreferenceController::~PreferenceController() = default;

PreferenceController* PreferenceController::showPreferences(const QString& autostartFolder)
{
    return sharedPreferenceController.show([&autostartFolder] {
        return new PreferenceController(autostartFolder,
                                        IntelModels::isIntelModel(IORegistryEntry::machineModel()));
    });
}

void PreferenceController::showWindow()
{
    if (!m_placed) {
        placeInCentre();
        m_placed = true;
    }
    showInFront(this);
}

QRect PreferenceController::centredFrame(QSize frame, const QRect& available)
{
    const QPoint centred(available.x() + (available.width() - frame.width()) / 2,
                         available.y() + (available.height() - frame.height()) / 2);
    // A window larger than the screen keeps its top left corner, and so its
    // title bar, on screen.
    return {QPoint(std::max(centred.x(), available.x()), std::max(centred.y(), available.y())),
            frame};
}

// The first showing puts the whole window, frame included, in the middle of
// the screen's free area; later pane switches keep its top edge from there.
void PreferenceController::placeInCentre()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    // move() places the frame, whose size is the window's own until a window
    // manager has framed it.
    move(centredFrame(frameGeometry().size(), screen->availableGeometry()).topLeft());
}

void PreferenceController::closeEvent(QCloseEvent* event)
{
    emit windowWillClose();
    deleteLater();
    QMainWindow::closeEvent(event);
}

void PreferenceController::awakeFromNib()
{
    setupGeneralPane();
    setupAppearancePane();
    detachPanes();
    setupToolbar();
}

void PreferenceController::setupGeneralPane()
{
    bindGauges();
    bindFrequency();
    bindStartup();
    bindAlarm();
}

void PreferenceController::bindGauges()
{
    gaugeChooser = new QButtonGroup(this);
    gaugeChooser->addButton(m_ui->gaugeTemperatureButton, 0);
    gaugeChooser->addButton(m_ui->gaugeFrequencyButton, 1);
    gaugeChooser->addButton(m_ui->gaugeBothButton, 2);
    m_ui->gaugeFrequencyButton->setEnabled(isIntel);
    m_ui->gaugeBothButton->setEnabled(isIntel);
    if (!isIntel) {
        measureTemperatureAlone();
    }
    selectGaugeRow();
    connect(gaugeChooser, &QButtonGroup::idClicked, this, &PreferenceController::chooseGauge);
}

// Only a listed Intel model reports its frequency, so elsewhere the
// temperature is measured alone; the defaults are written only where they
// say otherwise, so an opening changes nothing that is already right.
void PreferenceController::measureTemperatureAlone()
{
    const auto correct = []<typename Key>(Key, bool value) {
        if (defaults().value<Key>() != value) {
            defaults().setValue<Key>(value);
        }
    };
    correct(Settings::GaugeFrequency(), false);
    correct(Settings::GaugeTemperature(), true);
    correct(Settings::ArrangeVertically(), false);
}

void PreferenceController::selectGaugeRow()
{
    const int row = int(defaults().value<Settings::GaugeTemperature>()) +
                    2 * int(defaults().value<Settings::GaugeFrequency>()) - 1;
    if (QAbstractButton* button = gaugeChooser->button(row)) {
        button->setChecked(true);
    }
}

void PreferenceController::bindFrequency()
{
    QSlider* slider = m_ui->frequencySlider;
    slider->setRange(0, int(Intervals.size()) - 1);
    slider->setPageStep(1);
    follow(Settings::Frequency::name, [this, slider] {
        const double seconds = defaults().value<Settings::Frequency>();
        const QSignalBlocker blocker(slider);
        slider->setValue(nearestInterval(seconds));
        m_ui->frequencyLabel->setText(m_intervalTransformer.transformedValue(seconds));
    });
    connect(slider, &QSlider::valueChanged, this, [](int index) {
        defaults().setValue<Settings::Frequency>(float(Intervals[std::size_t(index)]));
    });
}

void PreferenceController::bindStartup()
{
    m_ui->loginItemSwitch->setChecked(m_loginItems.exists(LoginItemName));
    connect(m_ui->loginItemSwitch, &QCheckBox::clicked, this,
            &PreferenceController::toggleLoginItem);
    // Updates come with the package, so the update check keeps only its
    // start-up behaviour and has no control here.
    bindSettingsPage(m_ui->startupApplicationsButton, SettingsPages::Autostart,
                     &PreferenceController::openStartupApplications,
                     QT_TRANSLATE_NOOP("Calidra", "No settings tool for startup applications "
                                                  "was found on this desktop."));
}

// Where the desktop has no tool for the page, the button is off and says why.
void PreferenceController::bindSettingsPage(QPushButton* button, SettingsPages::Page page,
                                            void (PreferenceController::*open)(),
                                            const char* missing)
{
    if (SettingsPages::commandFor(page)) {
        connect(button, &QPushButton::clicked, this, open);
    } else {
        button->setEnabled(false);
        button->setToolTip(localizedString(missing));
    }
}

// The threshold shows in the display unit in whole degrees of it, and is
// written only when the user changes it: showing 90 ℃ as 194 ℉ and back must
// not store anything.
void PreferenceController::bindAlarm()
{
    bindSwitch<Settings::AlarmEnabled>(m_ui->alarmSwitch);
    follow(Settings::AlarmEnabled::name, [this] {
        m_ui->alarmTemperatureField->setEnabled(defaults().value<Settings::AlarmEnabled>());
    });
    follow(Settings::AlarmTemperature::name, [this] { showAlarmTemperature(); });
    follow(Settings::DisplayUnit::name, [this] { showAlarmTemperature(); });
    connect(m_ui->alarmTemperatureField, &QSpinBox::valueChanged, this, [](int shown) {
        const double celsius = TemperatureValueTransformer::fromShownUnit(shown);
        defaults().setValue<Settings::AlarmTemperature>(float(celsius));
    });
}

void PreferenceController::showAlarmTemperature()
{
    const auto shown = [](float celsius) {
        return int(std::lround(TemperatureValueTransformer::toShownUnit(celsius)));
    };
    QSpinBox* field = m_ui->alarmTemperatureField;
    const QSignalBlocker blocker(field);
    field->setRange(shown(Settings::AlarmTemperature::lowest),
                    shown(Settings::AlarmTemperature::highest));
    field->setSuffix(u' ' + TemperatureValueTransformer::unitSign());
    field->setValue(shown(defaults().value<Settings::AlarmTemperature>()));
}

void PreferenceController::follow(const QString& key, const std::function<void()>& show)
{
    show();
    defaults().observe(key, this, [show](const QVariant&) { show(); });
}

template <typename Key>
void PreferenceController::bindSwitch(QAbstractButton* button)
{
    follow(Key::name, [button] {
        const QSignalBlocker blocker(button);
        button->setChecked(defaults().value<Key>());
    });
    connect(button, &QAbstractButton::clicked, this, [](bool on) { defaults().setValue<Key>(on); });
}

void PreferenceController::setupAppearancePane()
{
    bindUnit();
    follow(Settings::FontSize::name, [this] {
        const QSignalBlocker blocker(m_ui->fontSizeField);
        m_ui->fontSizeField->setValue(int(std::lround(defaults().value<Settings::FontSize>())));
    });
    bindSwitch<Settings::ShowIcon>(m_ui->showIconSwitch);
    // The arrangement and the size are shown as stored; the panel decides
    // them (explainPanelChoices), so their controls write nothing.
    follow(Settings::ArrangeVertically::name, [this] {
        const bool vertically = defaults().value<Settings::ArrangeVertically>();
        m_ui->arrangeVerticallyButton->setChecked(vertically);
        m_ui->arrangeSideBySideButton->setChecked(!vertically);
    });
    explainPanelChoices();
}

void PreferenceController::bindUnit()
{
    follow(Settings::DisplayUnit::name, [this] {
        const QSignalBlocker blocker(m_ui->displayUnitChooser);
        m_ui->displayUnitChooser->setCurrentIndex(int(defaults().value<Settings::DisplayUnit>()));
    });
    connect(m_ui->displayUnitChooser, &QComboBox::activated, this,
            [](int index) { defaults().setValue<Settings::DisplayUnit>(index); });
    bindSettingsPage(m_ui->regionalSettingsButton, SettingsPages::Regional,
                     &PreferenceController::openRegionalSettings,
                     QT_TRANSLATE_NOOP("Calidra", "No settings tool for regional settings was "
                                                  "found on this desktop."));
}

// The panel, not the program, decides how large the values are and whether
// two of them stand on one line: a square tray slot is filled by the values,
// stacked, and a panel label is one line in the panel's font. The settings
// stay stored, but their controls say so instead of appearing to act; the
// icon's switch says where the icon shows.
void PreferenceController::explainPanelChoices()
{
    const QString size = localizedString(QT_TRANSLATE_NOOP(
        "Calidra", "The panel chooses the size: the values fill a tray icon, or take the "
                   "panel's font beside the icon."));
    const QString arrangement = localizedString(QT_TRANSLATE_NOOP(
        "Calidra", "The panel chooses the arrangement: two values are stacked in a tray "
                   "icon, and stand side by side in a panel label."));
    for (QWidget* control :
         {static_cast<QWidget*>(m_ui->fontSizeLabel), static_cast<QWidget*>(m_ui->fontSizeField)}) {
        control->setEnabled(false);
        control->setToolTip(size);
    }
    m_ui->textArrangementSwitch->setEnabled(false);
    m_ui->textArrangementSwitch->setToolTip(arrangement);
    m_ui->showIconSwitch->setToolTip(localizedString(QT_TRANSLATE_NOOP(
        "Calidra", "The icon stands before a panel label; in a tray icon it is shown only "
                   "while the values keep their size beside it.")));
}

// The panes leave the Designer's tab view: the toolbar shows one at a time
// as the window's content.
void PreferenceController::detachPanes()
{
    generalPreferencesView = m_ui->generalPreferencesView;
    displayPreferencesView = m_ui->displayPreferencesView;
    m_ui->tabView->clear();
    for (QWidget* pane : {generalPreferencesView, displayPreferencesView}) {
        pane->setParent(this);
        pane->hide();
    }
    intermediaryView = new QLabel(this);
    intermediaryView->setAlignment(Qt::AlignCenter);
    intermediaryView->hide();
    windowState = -1;
}

void PreferenceController::setupToolbar()
{
    QToolBar* toolbar = addToolBar(QString());
    toolbar->setObjectName(u"CLPreferencesToolbar"_qs);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setEnabled(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setContextMenuPolicy(Qt::NoContextMenu);

    auto* items = new QActionGroup(toolbar);
    QAction* general = addToolbarItem(GeneralItem, QT_TRANSLATE_NOOP("Calidra", "&General"),
                                      QT_TRANSLATE_NOOP("Calidra", "General Preferences"),
                                      u"GeneralPreferences"_qs);
    QAction* display = addToolbarItem(DisplayItem, QT_TRANSLATE_NOOP("Calidra", "&Appearance"),
                                      QT_TRANSLATE_NOOP("Calidra", "Appearance Preferences"),
                                      u"AppearancePreferences"_qs);
    m_paneItems = {general, display};
    for (QAction* item : m_paneItems) {
        items->addAction(item);
        toolbar->addAction(item);
    }
    addPaneShortcuts();
    showPane(general);
}

// Ctrl+Tab and Ctrl+PgDn go to the next pane, Ctrl+Shift+Tab and Ctrl+PgUp to
// the previous one, as in tabbed windows; each pane's mnemonic goes to it.
void PreferenceController::addPaneShortcuts()
{
    const std::pair<QKeySequence, int> steps[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto& [keys, step] : steps) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, step = step] { showAdjacentPane(step); });
    }
    addCloseShortcuts(this);
}

void PreferenceController::showAdjacentPane(int step)
{
    if (windowState < 0) {
        return;
    }
    const int count = int(m_paneItems.size());
    showPane(m_paneItems[std::size_t((windowState + step + count) % count)]);
}

QAction* PreferenceController::addToolbarItem(const QString& identifier, const char* label,
                                              const char* toolTip, const QString& image)
{
    auto* item = new QAction(localizedString(label), this);
    item->setObjectName(identifier);
    item->setToolTip(localizedString(toolTip));
    item->setCheckable(true);
    item->setShortcut(QKeySequence::mnemonic(item->text()));
    const Bundle* bundle = Bundle::mainBundle();
    if (const auto path = bundle ? bundle->pathForResource(image, u"svg"_qs) : std::nullopt) {
        item->setIcon(QIcon(*path));
    }
    connect(item, &QAction::triggered, this, [this, item] { showPane(item); });
    return item;
}

void PreferenceController::showPane(QAction* item)
{
    intermediaryView->setPixmap(item->icon().pixmap(48, 48));
    if (item->objectName() == DisplayItem) {
        showNextView(displayPreferencesView, 1);
    } else {
        showNextView(generalPreferencesView, 0);
    }
    item->setChecked(true);
}

Frame PreferenceController::nextWindowFrame(const Frame& window, QSizeF content, QSizeF pane)
{
    return {window.x + (pane.width() - content.width()) * -0.5,
            window.y - (pane.height() - content.height()),
            window.width - content.width() + pane.width(),
            window.height - content.height() + pane.height()};
}

void PreferenceController::showNextView(QWidget* view, int state)
{
    if (state == windowState) {
        return;
    }
    const double parentHeight = screenHeight();
    layout()->activate();
    const QRect now = geometry();
    const Frame window{double(now.x()), parentHeight - now.y() - now.height(), double(now.width()),
                       double(now.height())};
    const QWidget* content = centralWidget();
    const QSizeF contentSize = content ? QSizeF(content->size()) : QSizeF(0, 0);
    const Frame next = nextWindowFrame(window, contentSize, CLPreferencePaneSizes[state]);

    windowState = -1;
    replaceContent(intermediaryView);
    setMinimumSize(32, 32);
    repaint();
    resizeWindow(next.toQt(parentHeight));
    replaceContent(view);
    windowState = state;
}

void PreferenceController::replaceContent(QWidget* view)
{
    // The window gives up the content it hands back; it stays ours, hidden.
    if (QWidget* former = takeCentralWidget()) {
        former->setParent(this);
        former->hide();
    }
    setCentralWidget(view);
    view->show();
}

void PreferenceController::resizeWindow(const QRect& geometry)
{
    if (m_resizeDuration <= 0 || !isVisible()) {
        setGeometry(geometry);
        return;
    }
    QPropertyAnimation animation(this, "geometry");
    animation.setDuration(m_resizeDuration);
    animation.setEndValue(geometry);
    QEventLoop loop;
    connect(&animation, &QPropertyAnimation::finished, &loop, &QEventLoop::quit);
    animation.start();
    loop.exec();
}

void PreferenceController::chooseGauge(int row)
{
    if (row < 0 || row > 2) {
        return;
    }
    defaults().setValue<Settings::GaugeTemperature>(row != 1);
    defaults().setValue<Settings::GaugeFrequency>(row != 0);
}

void PreferenceController::toggleLoginItem(bool on)
{
    if (on) {
        const Bundle* bundle = Bundle::mainBundle();
        const QString bundlePath = bundle ? bundle->bundlePath() : QString();
        const QString executable = bundlePath + u"/calidra"_qs;
        if (LoginItems::canStart(executable)) {
            m_loginItems.make(LoginItemName, executable);
        } else {
            m_ui->loginItemSwitch->setChecked(false);
            explainUnstartableBundle(bundlePath);
        }
        return;
    }
    for (int pass = 0; pass < MaxLoginItemDeletions && m_loginItems.exists(LoginItemName); ++pass) {
        m_loginItems.remove(LoginItemName);
    }
}

// A login item that cannot start would fail at every login without a word, so
// the user learns at once what keeps it from being made.
void PreferenceController::explainUnstartableBundle(const QString& bundlePath)
{
    const QString message =
        localizedFormat(QT_TRANSLATE_NOOP("Calidra", "Calidra cannot start at login from “%@”."));
    Alerts::run({stringWithFormat(message, {QDir::toNativeSeparators(bundlePath)}),
                 localizedString(QT_TRANSLATE_NOOP(
                     "Calidra", "The desktop cannot start a program whose folder name holds "
                                "“%” or is not valid UTF-8. Move Calidra to a folder whose name "
                                "has no “%” and only valid UTF-8, then turn this on again.")),
                 {localizedString(QT_TRANSLATE_NOOP("Calidra", "OK"))},
                 false});
}

void PreferenceController::openRegionalSettings()
{
    SettingsPages::open(SettingsPages::Regional);
}

void PreferenceController::openStartupApplications()
{
    SettingsPages::open(SettingsPages::Autostart);
}

} // namespace calidra
