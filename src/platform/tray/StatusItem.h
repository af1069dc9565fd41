// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "StatusItem" is what the tray shows; see docs/GLOSSARY.md.

#include "StatusTitle.h"

#include <QObject>

#include <functional>

class QMenu;

namespace calidra {

/// What the program shows in the tray: a title (its text in its font, with
/// the values one by one), an image drawn beside it, a tooltip, the menu that
/// opens from it with what validates that menu, whether it is enabled and
/// whether it highlights while the menu is open. It holds the state and
/// announces each change; a tray face draws it. Setting what is already there
/// announces nothing. A tooltip may be given as what composes it, so that
/// one nobody reads is never composed.
class StatusItem : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    const StatusTitle& statusTitle() const { return m_title; }
    const QString& title() const { return m_title.text; }
    const QFont& font() const { return m_title.font; }
    /// The image beside the title; a null icon for none.
    const QIcon& image() const { return m_title.image; }
    const QStringList& values() const { return m_title.values; }
    const QString& labelGuide() const { return m_title.labelGuide; }
    bool alarm() const { return m_title.alarm; }

    /// Sets text, font, image, values, guide and alarm at once.
    void setTitle(const StatusTitle& title);
    /// Sets the title and, as setToolTip(compose) does, the tooltip, with one
    /// announcement: titleChanged when the title changed (a face looks at the
    /// tooltip then too), else toolTipChanged. An empty `composeToolTip`
    /// leaves the tooltip as it is.
    void setTitle(const StatusTitle& title, std::function<QString()> composeToolTip);

    /// The tooltip's text, below the program's name: the current values and
    /// their recent statistics. Empty for none. A tooltip given by what
    /// composes it is composed here, on the first read after it was given.
    const QString& toolTip() const;
    void setToolTip(const QString& toolTip);
    /// Sets the tooltip to what `compose` gives when it is first read, and
    /// announces a change: for a caller that knows its tooltip changed but
    /// not that anyone will read it. `compose` must not refer to anything
    /// that may be gone before the next setToolTip or setTitle.
    void setToolTip(std::function<QString()> compose);
    /// Counts the tooltip's changes, so that a face that announces them can
    /// tell one without composing it.
    quint64 toolTipRevision() const { return m_toolTipRevision; }
    /// Whether the item has a tooltip, or one waiting to be composed; without
    /// one, faces show the title in its place.
    bool hasToolTip() const { return m_composeToolTip || !m_toolTip.isEmpty(); }

    /// The menu, which the item does not own; null for none.
    QMenu* menu() const { return m_menu; }
    void setMenu(QMenu* menu);

    /// Sets what fills the menu's items; faces run it right before the menu
    /// opens, on every opening. An empty function for nothing.
    void setMenuValidator(std::function<void()> validator) { m_validator = std::move(validator); }
    void validateMenu() const;
    /// Tells faces that what the menu's items would show has changed, so that
    /// a face whose panel keeps a copy of the menu fills it anew.
    void announceMenuContentChanged() { emit menuContentChanged(); }

    /// Sets what activating the item does: the primary click of a panel that
    /// opens the menu itself on the other button. An empty function for
    /// nothing, where faces open the menu instead.
    void setActivationHandler(std::function<void()> handler) { m_activation = std::move(handler); }
    bool isActivatable() const { return bool(m_activation); }
    void activate() const;

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    bool highlightMode() const { return m_highlightMode; }
    void setHighlightMode(bool highlightMode) { m_highlightMode = highlightMode; }

signals:
    void titleChanged();
    void toolTipChanged();
    void menuChanged();
    void menuContentChanged();
    void enabledChanged();

private:
    bool takeToolTip(std::function<QString()> compose);

    StatusTitle m_title;
    mutable QString m_toolTip;
    mutable std::function<QString()> m_composeToolTip;
    quint64 m_toolTipRevision = 0;
    QMenu* m_menu = nullptr;
    std::function<void()> m_validator;
    std::function<void()> m_activation;
    bool m_enabled = true;
    bool m_highlightMode = false;
};

} // namespace calidra
