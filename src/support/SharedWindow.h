// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>

#include <utility>

namespace calidra {

/// The one window of a kind that exists at most once. show() creates it when
/// there is none and shows it either way; the window forgets itself when it
/// is destroyed (each such window deletes itself after closing), so the next
/// show() creates a fresh one. T is a QObject with a showWindow() member.
/// Main thread only.
template <typename T>
class SharedWindow
{
public:
    /// Creates the window with `make` when there is none, then calls its
    /// showWindow(). Gives the window; null only when showing it destroyed it
    /// (a modal dialog runs until it is left).
    template <typename Factory>
    T* show(Factory&& make)
    {
        if (!m_window) {
            m_window = std::forward<Factory>(make)();
        }
        m_window->showWindow();
        return m_window;
    }

    /// The window; null while there is none.
    T* current() const { return m_window; }

private:
    QPointer<T> m_window;
};

} // namespace calidra
