// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QRect>
#include <QSizeF>

#include <array>
#include <memory>

class QAction;

namespace Ui {
class PreferencesWindowView;
}

namespace calidra {

class AppearancePane;
class GeneralPane;
class PaneSwitcher;

/// The preferences window: a toolbar with two panes, General (GeneralPane:
/// what is measured, the sampling interval, the login item and the
/// temperature warning) and Appearance (AppearancePane: the unit, the font
/// size, the icon and the arrangement of the two values), switched by a
/// PaneSwitcher. Every control reads and writes the user defaults directly
/// and follows changes made to them elsewhere, so the running program sees
/// each change at once.
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
    void setResizeDuration(int milliseconds);

    /// The pane shown: -1 none (also during a switch), 0 General, 1 Appearance.
    int state() const;

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

    void awakeFromNib(const QString& autostartFolder);
    void setupToolbar();
    void placeInCentre();

    std::unique_ptr<Ui::PreferencesWindowView> m_ui;
    const bool isIntel;
    bool m_placed = false;
    GeneralPane* generalPreferencesView = nullptr;
    AppearancePane* displayPreferencesView = nullptr;
    PaneSwitcher* m_switcher = nullptr;
};

} // namespace calidra
