// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "awakeFromNib" is the controller's start-up step; see docs/GLOSSARY.md.

#include "StatusMenu.h"
#include "StatusPresenter.h"
#include "StatusReadings.h"
#include "measurement/GaugeReaderDelegate.h"
#include "measurement/TemperatureAlarm.h"
#include "platform/tray/StatusItem.h"

#include <QObject>

#include <memory>
#include <optional>

namespace calidra {

class ExternalWindowController;
class GaugeReader;
class StatusRefresh;
class Tray;
class TrayNotice;
class UserDefaults;

/// The centre of the program: owns the status item with its menu and the
/// temperature and frequency readers, is the readers' delegate, follows the
/// user defaults and routes every refresh: to the statistics window while it
/// is open, else to the status item.
///
/// Main thread only.
class TemperatureController : public QObject, public GaugeReaderDelegate
{
    Q_OBJECT

public:
    explicit TemperatureController(QObject* parent = nullptr);
    ~TemperatureController() override;

    /// The start-up: registers the defaults, creates the readers the settings
    /// ask for, quits through the "No working temperature sensors found."
    /// alert when there is none, runs the component check and shows the
    /// status item. Ends early, with no status item, when termination was
    /// requested.
    void awakeFromNib();

    /// Refreshes for the temperature reader's samples, or for any sample while
    /// there is no temperature reader. The temperature reader's samples feed
    /// the alarm; when it fires, the desktop is notified (Notifications), and
    /// when it ends the notification is withdrawn.
    void gaugeReaderDidUpdate(GaugeReader* reader) override;

    /// A missed sample of the reader that refreshes refreshes too once that
    /// reader has no reading, so that the title says so.
    void gaugeReaderDidMiss(GaugeReader* reader) override;

    /// Applies a change of a watched defaults key, reading its new value from
    /// the defaults. The settings the title shows by are read here, and when
    /// the locale changes, never at a sample.
    void observeValueForKeyPath(const QString& key);

    /// The refresh: updates the statistics window from the readers while it is
    /// open; otherwise shows them on the status item, composing only what
    /// changed (StatusRefresh). Either way a panel's copy of the menu is
    /// filled anew once what the menu shows changed.
    void updateMenu();

    // The menu's commands. Each is dropped while another one runs or a modal
    // dialog, an alert or a wait holds the event loop, which then comes to
    // the front instead: a command arriving from the panel's bus meanwhile
    // would run inside that loop, and dialogs would nest without end.

    /// Opens the preferences window, with the login items in the user's
    /// autostart folder, or brings it to the front.
    void showPreferencesWindow();

    /// Opens the statistics window, or brings it to the front, and sends it
    /// every refresh from now on; meanwhile the status item shows the icon
    /// alone whatever `showIcon` says. The window gets its first update at once.
    void showExternalWindow();

    /// The statistics window is closing: the status item gets its title back
    /// at once.
    void externalWindowWillClose();

    /// Fills an item of the status menu (see StatusPresenter).
    bool validateMenuItem(MenuItem& item) const;

    /// Brings the program to the front and shows what it is: the version,
    /// what it does, the temperature sensor in use (or why there is none) and
    /// the licence.
    void showAboutPanel();

    /// Shows the uninstall dialog (UninstallAlertController).
    void quitAndUninstall();

    /// Asks the program to end.
    void terminate();

    /// The About panel's text below its title.
    QString aboutText() const;

    /// What is shown now; null before the status item exists.
    const StatusItem* currentStatusItem() const { return statusItem.get(); }
    /// Where it is shown; null before the status item exists.
    const Tray* tray() const { return m_tray.get(); }
    GaugeReader* currentTemperatureReader() const { return temperatureReader.get(); }
    GaugeReader* currentFrequencyReader() const { return frequencyReader.get(); }
    StatusMenu* statusMenu() const { return theMenu.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::shared_ptr<GaugeReader>& reader(bool temperature);
    std::shared_ptr<GaugeReader> createReader(bool temperature);
    void switchReader(bool temperature, bool on);
    void showNoSensorAlert() const;
    void showStatusItem();
    void watchDefaults();
    void withdrawEndedAlarm(bool wasActive);
    void readDisplaySettings();
    /// Whether a command may run now; if not, the modal dialog that holds it
    /// up comes to the front.
    bool mayRunCommand() const;

    UserDefaults* m_defaults = nullptr;
    StatusPresenter m_presenter;
    TemperatureAlarm m_alarm;
    std::unique_ptr<StatusMenu> theMenu;
    std::unique_ptr<StatusItem> statusItem;
    std::unique_ptr<StatusRefresh> m_refresh;
    // What the menu showed at the last refresh, so that a panel's copy is
    // filled anew only when it changed.
    std::optional<StatusReadings> m_menuReadings;
    std::unique_ptr<Tray> m_tray;
    std::unique_ptr<TrayNotice> m_notice;
    std::shared_ptr<GaugeReader> temperatureReader;
    std::shared_ptr<GaugeReader> frequencyReader;
    ExternalWindowController* xwin = nullptr;
    bool m_commandRunning = false;
};

} // namespace calidra
