// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

class QAbstractButton;

namespace Ui {
class UninstallAlertView;
}

namespace calidra {

/// The uninstall dialog: the user chooses what to remove before the program
/// quits (the processor temperature component, shown on listed Intel models
/// only; the preferences; the program itself), then cancels, quits without
/// removing anything, or removes what is switched on and quits.
///
/// There is at most one: it is created when first asked for and destroyed, at
/// the end of the current event, when it closes, so that every opening shows
/// a freshly loaded dialog. Main thread only.
class UninstallAlertController : public QDialog
{
    Q_OBJECT

public:
    /// Creates the one dialog when there is none and runs it modally; returns
    /// when the user has left it. A dialog that is open already is raised as
    /// it is, and the call returns at once.
    static void showUninstallAlert();

    ~UninstallAlertController() override;

    /// Prepares the dialog for this machine (the Intel-only part and the
    /// content size that goes with it, its switch on and enabled only while
    /// the component's boot entry exists, the application switch on unless a
    /// package installed the program), brings the
    /// program to the front and runs the dialog modally in the screen's centre.
    void showWindow();

    /// Leaves the dialog; the program runs on.
    void cancel();

    /// Leaves the dialog and asks the program to end.
    void justQuit();

    /// Runs the removals whose switches are on, in this order: the component,
    /// the preferences, the application; then quits whatever they achieved.
    /// The dialog stays open while the removals run.
    void uninstall();

    /// Closing the dialog by any other means than its buttons cancels it,
    /// except while the removals run: they wait for the uninstall script with
    /// the event loop running, and the dialog must outlive them.
    void reject() override;

private:
    UninstallAlertController();

    void windowWillClose();
    /// For a bundle the package manager installed: the application switch
    /// off and disabled, and the package manager's command in the text.
    /// Gives how much taller the text grew.
    int showPackageRemoval();

    std::unique_ptr<Ui::UninstallAlertView> m_ui;
    bool m_removing = false;
};

} // namespace calidra
