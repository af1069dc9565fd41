// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMenu>

#include <functional>

namespace calidra {

struct MenuItem;

/// The status menu: why there is no reading (while there is none), the
/// ten-minute and overall statistics under their
/// headings, the sampling interval, and the commands. Each information item
/// carries its tag; before the menu shows, every tagged item is validated.
class StatusMenu : public QMenu
{
    Q_OBJECT

public:
    /// Decides an item's title and indentation and whether it is enabled.
    using Validator = std::function<bool(MenuItem& item)>;

    explicit StatusMenu(QWidget* parent = nullptr);

    /// Validates every tagged item and shows the outcome: its title, indented
    /// by its level, and whether it is enabled.
    void validateItems(const Validator& validator);

    /// The item with the tag; null when there is none.
    QAction* itemWithTag(int tag) const;

signals:
    void aboutRequested();
    void statisticsRequested();
    void preferencesRequested();
    void uninstallRequested();
    void quitRequested();

private:
    void addInformationItems(const char* heading, int firstTag);
};

} // namespace calidra
