// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "formatting/MenuIntervalValueTransformer.h"
#include "platform/LoginItems.h"
#include "platform/SettingsPages.h"
#include "support/Frame.h"

#include <QMainWindow>
#include <QRect>
#include <QSizeF>

#include <array>
#include <functional>
#include <memory>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QLabel;
class QPushButton;

namespace Ui {
class PreferencesWindowView;
}

namespace calidra {

class UserDefaults;

/// The preferences window: a toolbar with two panes, General and Appearance.
/// General chooses what is measured, the sampling interval, the login
/// item and the temperature warning; Appearance the unit, the font size, the icon and the
/// arrangement of the two values. Every control reads and writes the user
/// defaults directly and follows changes made to them elsewhere, so the
/// running program sees each change at once.
///
/// There is at most one: it is created when first asked for and destroyed, at
/// the end of the current event, when it closes. Main thread only.
class PreferenceController : public QMainWindow
{
    Q_OBJECT

public:
    /// The content size of each pane, indexed by pane state.
    static constexpr std::array<QSizeF, 2> CLPreferencePaneSizes{QSizeF(415, 358),
                                                                 QSizeF(415, 240)};
    /// How long a pane switch resizes the window, in milliseconds.
    static constexpr int DefaultResizeDuration = 200;
    /// The most login items one switch-off removes, should removal keep failing.
    static constexpr int MaxLoginItemDeletions = 64;

    /// Creates the one window when there is none, with its login items kept
    /// in `autostartFolder` and the frequency choices offered when the
    /// machine model is a listed Intel one, shows it in front and gives it.
    /// Never null.
    static PreferenceController* showPreferences(const QString& autostartFolder);

    ~PreferenceController() override;

    /// Brings the program to the front, then shows the window.
    void showWindow();

    /// Shows the pane of a toolbar item: Appearance for
    /// "CLDisplayPreferencesToolbarItem", General for any other.
    void showPane(QAction* item);

    /// Stores the measurement choice of the gauge chooser's row: 0
    /// temperature, 1 frequency, 2 both. Other rows change nothing.
    void chooseGauge(int row);

    /// Adds the login item when the switch is on; removes every one of the
    /// program's name when it is off. A bundle path that no login item can
    /// start (see LoginItems::canStart) turns the switch back off and tells
    /// the user why and what to do.
    void toggleLoginItem(bool on);

    /// Open the desktop's settings for region and for the programs started
    /// at login; whether a settings tool could be started is not reported.
    /// Where the desktop has no tool that opens on the page, its button is
    /// disabled.
    void openRegionalSettings();
    void openStartupApplications();

    /// Sets the length of the pane switch's resize; 0 switches at once.
    void setResizeDuration(int milliseconds) { m_resizeDuration = milliseconds; }

    /// The pane shown: -1 none (also during a switch), 0 General, 1 Appearance.
    int state() const { return windowState; }

    /// The window's frame after switching to content of size `pane`: border
    /// and toolbar keep their size, the top edge and the horizontal centre
    /// stay where they are.
    static Frame nextWindowFrame(const Frame& window, QSizeF content, QSizeF pane);

    /// Where a window frame of size `frame` stands in the middle of the
    /// screen's `available` area; a frame larger than the area keeps its top
    /// left corner inside it.
    static QRect centredFrame(QSize frame, const QRect& available);

signals:
    /// The window is about to close; the controller goes away afterwards.
    void windowWillClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    PreferenceController(const QString& autostartFolder, bool intelModel);

    void awakeFromNib();
    void setupGeneralPane();
    void setupAppearancePane();
    void bindGauges();
    void measureTemperatureAlone();
    void selectGaugeRow();
    void bindFrequency();
    void bindStartup();
    void bindSettingsPage(QPushButton* button, SettingsPages::Page page,
                          void (PreferenceController::*open)(), const char* missing);
    void bindAlarm();
    void showAlarmTemperature();
    void explainUnstartableBundle(const QString& bundlePath);
    void follow(const QString& key, const std::function<void()>& show);
    template <typename Key>
    void bindSwitch(QAbstractButton* button);
    void bindUnit();
    void explainPanelChoices();
    void detachPanes();
    void setupToolbar();
    QAction* addToolbarItem(const QString& identifier, const char* label, const char* toolTip,
                            const QString& image);
    void addPaneShortcuts();
    void showAdjacentPane(int step);
    void placeInCentre();
    void showNextView(QWidget* view, int state);
    void replaceContent(QWidget* view);
    void resizeWindow(const QRect& geometry);

    std::unique_ptr<Ui::PreferencesWindowView> m_ui;
    LoginItems m_loginItems;
    MenuIntervalValueTransformer m_intervalTransformer;
    const bool isIntel;
    std::array<QAction*, 2> m_paneItems{};
    bool m_placed = false;
    QButtonGroup* gaugeChooser = nullptr;
    QWidget* generalPreferencesView = nullptr;
    QWidget* displayPreferencesView = nullptr;
    QLabel* intermediaryView = nullptr;
    int windowState = -1;
    int m_resizeDuration = DefaultResizeDuration;
};

} // namespace calidra
