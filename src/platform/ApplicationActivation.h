// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace calidra {

/// Brings the program in front of other programs before it asks the user
/// something: its first visible window is raised and activated. Does nothing
/// while the program shows no window (a tray program at start-up), where the
/// modal question that follows comes to the front by itself.
void activateIgnoringOtherApps();

/// Brings the program to the front, then shows `window` raised and active.
void showInFront(QWidget* window);

/// Whether a modal dialog, an alert or another local event loop runs inside
/// the program's event loop, so that whatever starts now would run inside it
/// and hold it up until it ends.
bool isModalLoopRunning();

/// Raises and activates the modal dialog or alert that is shown, if any.
void raiseModalWindow();

} // namespace calidra
