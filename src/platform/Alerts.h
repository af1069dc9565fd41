// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ProcessWide.h"

#include <QString>
#include <QStringList>

namespace calidra {

/// Modal questions to the user: an alert with a message, an informative text
/// and push buttons, of which the user presses one. The program creates one
/// process-wide instance that shows real dialogs (MessageBoxAlerts); a test
/// creates its own that answers from a script.
///
/// Used on the main thread only.
class Alerts : public ProcessWide<Alerts>
{
public:
    /// What one alert shows. Texts are shown literally, never read as markup
    /// or as a format.
    struct Request
    {
        /// The alert's message, shown prominently (its title).
        QString messageText;
        /// The explanation below the message; empty for none.
        QString informativeText;
        /// Button titles in order; the first is the default, which Return presses.
        QStringList buttonTitles;
        /// Whether the alert has the critical look of a warning about danger.
        bool critical = false;

        bool operator==(const Request&) const = default;
    };

    virtual ~Alerts();

    /// Shows the request through the current instance and waits for the
    /// user's answer: the index of the pressed button in buttonTitles. -1 when
    /// no instance exists or the alert was left without a button. One alert
    /// at a time: a request made while one is up (from the event loop that
    /// its modal loop runs) is not shown and gets -1 at once, so that alerts
    /// never pile up one inside the other.
    static int run(const Request& request);

    /// Shows the alert modally and gives the index of the pressed button; -1
    /// when the alert was left without one.
    virtual int runAlert(const Request& request) = 0;

protected:
    Alerts() = default;

private:
    bool m_alertShown = false;
};

} // namespace calidra
