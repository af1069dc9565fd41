// SPDX-License-Identifier: GPL-3.0-or-later
#include "TemperatureController.h"

#include "StatusRefresh.h"
#include "TrayNotice.h"
#include "defaults/Settings.h"
#include "defaults/UserDefaults.h"
#include "defaults/UserDefaultsSetup.h"
#include "formatting/ObjectFormat.h"
#include "hardware/IORegistryEntry.h"
#include "kext/SpeedItInstallation.h"
#include "measurement/GaugeReader.h"
#include "platform/Alerts.h"
#include "platform/ApplicationActivation.h"
#include "platform/ApplicationTermination.h"
#include "platform/Localization.h"
#include "platform/LoginItems.h"
#include "platform/MenuItem.h"
#include "platform/tray/Notifications.h"
#include "platform/tray/Tray.h"
#include "preferences/PreferenceController.h"
#include "statistics_window/ExternalWindowController.h"
#include "uninstall/UninstallAlertController.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScopedValueRollback>

namespace calidra {

TemperatureController::TemperatureController(QObject* parent) : QObject(parent)
{}

TemperatureController::~TemperatureController()
{
    for (const auto& owned : {temperatureReader, frequencyReader}) {
        if (owned) {
            owned->setDelegate(nullptr);
        }
    }
}

void TemperatureController::awakeFromNib()
{
    m_defaults = _initializeUserDefaults();
    if (!m_defaults) {
        return;
    }
    if (m_defaults->value<Settings::GaugeTemperature>()) {
        temperatureReader = createReader(true);
    }
    if (m_defaults->value<Settings::GaugeFrequency>()) {
        frequencyReader = createReader(false);
    }
    if (!temperatureReader && !frequencyReader) {
        showNoSensorAlert();
        ApplicationTermination::requestTermination();
        return;
    }
    initializeSpeedIt();
    if (ApplicationTermination::current() &&
        ApplicationTermination::current()->isTerminationRequested()) {
        return;
    }
    m_alarm.configure(*m_defaults);
    showStatusItem();
    watchDefaults();
}

std::shared_ptr<GaugeReader>& TemperatureController::reader(bool temperature)
{
    return temperature ? temperatureReader : frequencyReader;
}

std::shared_ptr<GaugeReader> TemperatureController::createReader(bool temperature)
{
    const double interval = m_defaults->value<Settings::Frequency>();
    std::shared_ptr<GaugeReader> created =
        temperature ? GaugeReader::CPUTemperatureGaugeReaderWithFrequency(interval)
                    : GaugeReader::CPUFrequencyGaugeReaderWithFrequency(interval);
    if (created) {
        created->setDelegate(this);
    }
    return created;
}

void TemperatureController::showNoSensorAlert() const
{
    activateIgnoringOtherApps();
    const QString model = IORegistryEntry::machineModel().value_or(QString());
    const QString message = localizedString(
        QT_TRANSLATE_NOOP("Calidra", "Calidra was unable to find a sensor (ID: %@)."));
    Alerts::run(
        {localizedString(QT_TRANSLATE_NOOP("Calidra", "No working temperature sensors found.")),
         QString(message).replace(u"%@"_qs, model),
         {localizedString(QT_TRANSLATE_NOOP("Calidra", "Quit"))},
         true});
}

void TemperatureController::showStatusItem()
{
    theMenu = std::make_unique<StatusMenu>();
    connect(theMenu.get(), &StatusMenu::aboutRequested, this,
            &TemperatureController::showAboutPanel);
    connect(theMenu.get(), &StatusMenu::statisticsRequested, this,
            &TemperatureController::showExternalWindow);
    connect(theMenu.get(), &StatusMenu::preferencesRequested, this,
            &TemperatureController::showPreferencesWindow);
    connect(theMenu.get(), &StatusMenu::uninstallRequested, this,
            &TemperatureController::quitAndUninstall);
    connect(theMenu.get(), &StatusMenu::quitRequested, this, &TemperatureController::terminate);

    statusItem = std::make_unique<StatusItem>();
    statusItem->setHighlightMode(true);
    statusItem->setTitle(m_presenter.initialTitle(*m_defaults));
    m_refresh = std::make_unique<StatusRefresh>(m_presenter, *statusItem,
                                                DisplaySettings::read(*m_defaults));
    statusItem->setMenu(theMenu.get());
    statusItem->setMenuValidator([this] {
        theMenu->validateItems([this](MenuItem& item) { return validateMenuItem(item); });
    });
    // A panel that opens the menu itself on one button activates the item
    // with the other.
    statusItem->setActivationHandler([this] { showExternalWindow(); });
    statusItem->setEnabled(true);
    m_tray = std::make_unique<Tray>(*statusItem);
    m_notice = std::make_unique<TrayNotice>([this] { showExternalWindow(); },
                                            qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
    connect(m_tray.get(), &Tray::unseen, m_notice.get(), &TrayNotice::show);
    connect(m_tray.get(), &Tray::seen, m_notice.get(), &TrayNotice::withdraw);
}

void TemperatureController::watchDefaults()
{
    for (const QString& key :
         {Settings::GaugeTemperature::name, Settings::GaugeFrequency::name,
          Settings::Frequency::name, Settings::DisplayUnit::name, Settings::ShowIcon::name,
          Settings::FontSize::name, Settings::ArrangeVertically::name, Settings::AlarmEnabled::name,
          Settings::AlarmTemperature::name}) {
        m_defaults->observe(key, this,
                            [this, key](const QVariant&) { observeValueForKeyPath(key); });
    }
    // The locale's measurement system may pick the unit.
    QCoreApplication::instance()->installEventFilter(this);
}

bool TemperatureController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::LocaleChange) {
        readDisplaySettings();
        updateMenu();
    }
    return QObject::eventFilter(watched, event);
}

void TemperatureController::readDisplaySettings()
{
    if (m_refresh) {
        m_refresh->setSettings(DisplaySettings::read(*m_defaults));
    }
}

void TemperatureController::gaugeReaderDidUpdate(GaugeReader* updated)
{
    if (updated == temperatureReader.get()) {
        const bool wasActive = m_alarm.isActive();
        if (m_alarm.sample(updated->currentValue(), updated->frequency())) {
            Notifications::send(Notifications::Topic::Alarm,
                                m_presenter.alarmNotification(*updated, m_alarm));
        }
        withdrawEndedAlarm(wasActive);
    }
    if (updated == temperatureReader.get() || !temperatureReader) {
        updateMenu();
    }
}

void TemperatureController::gaugeReaderDidMiss(GaugeReader* missed)
{
    if ((missed == temperatureReader.get() || !temperatureReader) && missed->hasNoReading()) {
        updateMenu();
    }
}

void TemperatureController::observeValueForKeyPath(const QString& key)
{
    using namespace Settings;
    if (key == GaugeTemperature::name || key == GaugeFrequency::name || key == DisplayUnit::name ||
        key == ShowIcon::name || key == FontSize::name || key == ArrangeVertically::name) {
        readDisplaySettings();
    }
    if (key == GaugeTemperature::name) {
        switchReader(true, m_defaults->value<GaugeTemperature>());
    } else if (key == GaugeFrequency::name) {
        switchReader(false, m_defaults->value<GaugeFrequency>());
    } else if (key == Frequency::name) {
        const double interval = m_defaults->value<Frequency>();
        for (const auto& owned : {temperatureReader, frequencyReader}) {
            if (owned) {
                owned->setFrequency(interval);
            }
        }
    } else if (key == AlarmEnabled::name || key == AlarmTemperature::name) {
        const bool wasActive = m_alarm.isActive();
        m_alarm.configure(*m_defaults);
        withdrawEndedAlarm(wasActive);
        updateMenu();
    } else if (key == DisplayUnit::name || key == ShowIcon::name || key == FontSize::name ||
               key == ArrangeVertically::name) {
        updateMenu();
    }
}

void TemperatureController::switchReader(bool temperature, bool on)
{
    std::shared_ptr<GaugeReader>& owned = reader(temperature);
    if (on && !owned) {
        owned = createReader(temperature);
    } else if (!on && owned) {
        owned->setDelegate(nullptr);
        owned.reset();
        // Without the temperature nothing could end an active alarm: it ends
        // now, and its mark with it.
        if (temperature) {
            const bool marked = m_alarm.isActive();
            m_alarm.reset();
            withdrawEndedAlarm(marked);
            if (marked) {
                updateMenu();
            }
        }
    }
}

// A warning about heat that has passed is taken off the desktop.
void TemperatureController::withdrawEndedAlarm(bool wasActive)
{
    if (wasActive && !m_alarm.isActive()) {
        Notifications::withdraw(Notifications::Topic::Alarm);
    }
}

void TemperatureController::updateMenu()
{
    const StatusReadings readings =
        StatusReadings::of(temperatureReader.get(), frequencyReader.get(), &m_alarm);
    if (xwin) {
        xwin->updateDisplayWithTemperatureReader(temperatureReader.get(), frequencyReader.get());
    } else if (m_refresh) {
        m_refresh->refresh(readings);
    }
    if (statusItem && m_menuReadings != readings) {
        m_menuReadings = readings;
        statusItem->announceMenuContentChanged();
    }
}

void TemperatureController::showPreferencesWindow()
{
    if (!mayRunCommand()) {
        return;
    }
    const QScopedValueRollback running(m_commandRunning, true);
    PreferenceController::showPreferences(LoginItems::userAutostartFolder());
}

void TemperatureController::showExternalWindow()
{
    if (!mayRunCommand()) {
        return;
    }
    const QScopedValueRollback running(m_commandRunning, true);
    xwin = ExternalWindowController::showExternalWindow();
    connect(xwin, &ExternalWindowController::windowWillClose, this,
            &TemperatureController::externalWindowWillClose, Qt::UniqueConnection);
    if (statusItem) {
        statusItem->setTitle({QString(), statusItem->font(), m_presenter.statusIcon(), {}, {}});
        m_refresh->invalidate();
    }
    updateMenu();
}

void TemperatureController::externalWindowWillClose()
{
    xwin = nullptr;
    updateMenu();
}

bool TemperatureController::validateMenuItem(MenuItem& item) const
{
    return m_presenter.validateMenuItem(item, temperatureReader.get(), frequencyReader.get());
}

QString TemperatureController::aboutText() const
{
    const std::optional<QString> sensor =
        temperatureReader ? temperatureReader->sensorInUse() : std::nullopt;
    QString sensorLine;
    if (sensor) {
        sensorLine = stringWithFormat(
            localizedFormat(QT_TRANSLATE_NOOP("Calidra", "Temperature sensor: %@")), {*sensor});
    } else if (temperatureReader) {
        sensorLine = temperatureReader->noReadingReason();
    } else {
        sensorLine =
            localizedString(QT_TRANSLATE_NOOP("Calidra", "The temperature is not measured."));
    }
    return QStringList{localizedString(QT_TRANSLATE_NOOP(
                           "Calidra", "Shows the processor's temperature and clock frequency in "
                                      "the system tray, with their statistics.")),
                       sensorLine,
                       localizedString(QT_TRANSLATE_NOOP(
                           "Calidra", "Released under the GNU General Public License, version 3 "
                                      "or later."))}
        .join(u"\n\n"_qs);
}

void TemperatureController::showAboutPanel()
{
    if (!mayRunCommand()) {
        return;
    }
    const QScopedValueRollback running(m_commandRunning, true);
    activateIgnoringOtherApps();
    Alerts::run({u"Calidra "_qs + QCoreApplication::applicationVersion(),
                 aboutText(),
                 {localizedString(QT_TRANSLATE_NOOP("Calidra", "OK"))},
                 false});
}

void TemperatureController::quitAndUninstall()
{
    if (!mayRunCommand()) {
        return;
    }
    const QScopedValueRollback running(m_commandRunning, true);
    UninstallAlertController::showUninstallAlert();
}

void TemperatureController::terminate()
{
    if (mayRunCommand()) {
        ApplicationTermination::requestTermination();
    }
}

bool TemperatureController::mayRunCommand() const
{
    if (m_commandRunning || isModalLoopRunning()) {
        raiseModalWindow();
        return false;
    }
    return true;
}

} // namespace calidra
