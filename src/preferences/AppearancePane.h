// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PreferencePane.h"

#include <memory>

namespace Ui {
class AppearancePane;
}

namespace calidra {

/// The Appearance pane of the preferences window: the temperature unit with
/// the desktop's regional-settings tool, the font size, the icon and the
/// arrangement of the two values (`textArrangementSwitch`). The panel decides
/// the size and the arrangement, so those controls show the stored settings,
/// write nothing and say why.
class AppearancePane : public PreferencePane
{
    Q_OBJECT

public:
    explicit AppearancePane(QWidget* parent);
    ~AppearancePane() override;

private:
    void bindUnit();
    void bindFontSize();
    void bindArrangement();
    void explainPanelChoices();

    std::unique_ptr<Ui::AppearancePane> m_ui;
};

} // namespace calidra
