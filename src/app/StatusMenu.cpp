// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusMenu.h"

#include "StatusPresenter.h"
#include "platform/Localization.h"
#include "platform/MenuItem.h"

namespace calidra {
namespace {

// Menus have no indentation of their own: each level is a run of spaces.
const QString IndentationStep = u"    "_qs;

QString withoutIndentation(QString title)
{
    while (title.startsWith(IndentationStep)) {
        title.remove(0, IndentationStep.size());
    }
    return title;
}

} // namespace

StatusMenu::StatusMenu(QWidget* parent) : QMenu(parent)
{
    QAction* reason = addAction(QString());
    reason->setData(int(StatusPresenter::NoReadingReasonTag));
    reason->setVisible(false);
    addInformationItems(StatusPresenter::TenMinutesHeading, StatusPresenter::TenMinuteMinimumTag);
    addInformationItems(QT_TRANSLATE_NOOP("Calidra", "Since start"),
                        StatusPresenter::OverallMinimumTag);
    addSeparator();
    addAction(QString())->setData(int(StatusPresenter::IntervalTag));
    addSeparator();
    connect(addAction(localizedString(QT_TRANSLATE_NOOP("Calidra", "Statistics..."))),
            &QAction::triggered, this, &StatusMenu::statisticsRequested);
    connect(addAction(localizedString(QT_TRANSLATE_NOOP("Calidra", "Preferences..."))),
            &QAction::triggered, this, &StatusMenu::preferencesRequested);
    connect(addAction(localizedString(QT_TRANSLATE_NOOP("Calidra", "About Calidra"))),
            &QAction::triggered, this, &StatusMenu::aboutRequested);
    addSeparator();
    connect(addAction(localizedString(QT_TRANSLATE_NOOP("Calidra", "Quit and Uninstall..."))),
            &QAction::triggered, this, &StatusMenu::uninstallRequested);
    connect(addAction(localizedString(QT_TRANSLATE_NOOP("Calidra", "Quit"))), &QAction::triggered,
            this, &StatusMenu::quitRequested);
}

void StatusMenu::addInformationItems(const char* heading, int firstTag)
{
    addAction(localizedString(heading))->setEnabled(false);
    for (int tag = firstTag; tag < firstTag + 3; ++tag) {
        addAction(QString())->setData(tag);
    }
}

void StatusMenu::validateItems(const Validator& validator)
{
    for (QAction* action : actions()) {
        if (!action->data().isValid()) {
            continue;
        }
        MenuItem item{action->data().toInt(), withoutIndentation(action->text()), 0};
        const bool enabled = validator(item);
        action->setText(IndentationStep.repeated(item.indentationLevel) + item.title);
        action->setEnabled(enabled);
        // The reason item is there only while there is something to explain.
        action->setVisible(item.tag != StatusPresenter::NoReadingReasonTag ||
                           !item.title.isEmpty());
    }
}

QAction* StatusMenu::itemWithTag(int tag) const
{
    for (QAction* action : actions()) {
        if (action->data().isValid() && action->data().toInt() == tag) {
            return action;
        }
    }
    return nullptr;
}

} // namespace calidra
