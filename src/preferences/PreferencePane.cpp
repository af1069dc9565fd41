// SPDX-License-Identifier: GPL-3.0-or-later
#include "PreferencePane.h"

#include "platform/Localization.h"

#include <QPushButton>

namespace calidra {

void PreferencePane::follow(const QString& key, const std::function<void()>& show)
{
    show();
    defaults().observe(key, this, [show](const QVariant&) { show(); });
}

void PreferencePane::bindSettingsPage(QPushButton* button, SettingsPages::Page page,
                                      const char* missing)
{
    if (SettingsPages::commandFor(page)) {
        connect(button, &QPushButton::clicked, this, [page] { SettingsPages::open(page); });
    } else {
        button->setEnabled(false);
        button->setToolTip(localizedString(missing));
    }
}

} // namespace calidra
