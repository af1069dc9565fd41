// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Alerts.h"

namespace calidra {

/// The program's alerts: each request is a modal QMessageBox with a critical
/// icon where asked, its texts as plain text, the first button as the default
/// that Return presses and no button that Escape or closing the window would
/// press, so that only a deliberate choice answers. Needs a QApplication.
class MessageBoxAlerts : public Alerts
{
public:
    int runAlert(const Request& request) override;
};

} // namespace calidra
