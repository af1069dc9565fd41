// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecentlyShown.h"
#include "SniPixmap.h"
#include "SniToolTip.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>

#include <functional>
#include <optional>

namespace calidra {

class StatusItem;

/// The org.kde.StatusNotifierItem interface of one StatusItem, as a panel
/// reads and hears it. Properties are read from the item when asked; the
/// icon's pictures are drawn when first read and kept until the icon
/// changes. A signal goes out only when what a panel reads really changed
/// since it was last announced; a change of the tooltip alone is left for
/// the next change of the title, so that a quiet panel gets no traffic.
/// A panel that shows labels (`labelHost`) gets the values as the label and
/// the item's image as the icon, the label led by AlarmMark while the alarm
/// is active; any other gets the values drawn as the icon, on the alarm's red
/// plate while it is active. The tooltip's title names the program and the
/// current values, for panels that show the title alone; its text holds the
/// rest. A panel's primary click (Activate) goes to `activate`, a request for
/// the menu (ContextMenu) to `popUp`, each with its screen position.
class SniItemAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category CONSTANT)
    Q_PROPERTY(QString Id READ id CONSTANT)
    Q_PROPERTY(QString Title READ title CONSTANT)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId CONSTANT)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu CONSTANT)
    Q_PROPERTY(QDBusObjectPath Menu READ menu CONSTANT)
    Q_PROPERTY(QString IconThemePath READ none CONSTANT)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(calidra::SniPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ none CONSTANT)
    Q_PROPERTY(calidra::SniPixmapList OverlayIconPixmap READ noPixmaps CONSTANT)
    Q_PROPERTY(QString AttentionIconName READ none CONSTANT)
    Q_PROPERTY(calidra::SniPixmapList AttentionIconPixmap READ noPixmaps CONSTANT)
    Q_PROPERTY(QString AttentionMovieName READ none CONSTANT)
    Q_PROPERTY(calidra::SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(QString XAyatanaLabel READ label)
    Q_PROPERTY(QString XAyatanaLabelGuide READ labelGuide)

public:
    /// The object path of the exported menu, which the Menu property names.
    static const QString MenuPath;
    /// What leads the label while the alarm is active: a warning sign, which
    /// the fonts panels use for labels all have.
    static const QString AlarmMark;

    /// Follows `item` as a child of `parent`, the object registered on the
    /// bus; the item outlives the adaptor.
    /// The pictures are drawn at `iconSides` pixels, the usual sizes when it
    /// is empty.
    SniItemAdaptor(const StatusItem& item, bool labelHost, std::function<void(int, int)> activate,
                   std::function<void(int, int)> popUp, QObject* parent,
                   const QList<int>& iconSides = {});

    QString category() const { return QStringLiteral("Hardware"); }
    QString id() const { return QStringLiteral("calidra"); }
    QString title() const { return QStringLiteral("Calidra"); }
    QString status() const;
    int windowId() const { return 0; }
    bool itemIsMenu() const { return true; }
    QDBusObjectPath menu() const { return QDBusObjectPath(MenuPath); }
    QString none() const { return {}; }
    QString iconName() const;
    const SniPixmapList& iconPixmap() const;
    SniPixmapList noPixmaps() const { return {}; }
    SniToolTip toolTip() const;
    QString label() const;
    QString labelGuide() const;

public slots:
    void Activate(int x, int y);
    void ContextMenu(int x, int y);
    void SecondaryActivate(int, int) {}
    void Scroll(int, const QString&) {}
    void ProvideXdgActivationToken(const QString&) {}

signals:
    void NewIcon();
    void NewToolTip();
    void NewStatus(const QString& status);
    void XAyatanaNewLabel(const QString& label, const QString& guide);

private:
    /// What the icon is drawn from: the values only where they are drawn.
    struct IconContent
    {
        QStringList values;
        qint64 imageKey = 0;
        bool alarm = false;
        bool operator==(const IconContent& other) const = default;
    };

    /// What tells a changed tooltip without composing it: the item's count
    /// of its changes, and the title that stands in while it has none.
    struct ToolTipState
    {
        quint64 revision = 0;
        QString title;
        bool operator==(const ToolTipState& other) const = default;
    };

    IconContent iconContent() const;
    QString toolTipText() const;
    ToolTipState toolTipState() const;
    SniPixmapList drawIcon() const;
    void announceTitle();
    void announceStatus();

    const StatusItem& m_item;
    bool m_labelHost;
    std::function<void(int, int)> m_activate;
    std::function<void(int, int)> m_popUp;
    QList<int> m_iconSides;
    static constexpr qsizetype KeptIcons = 8;

    IconContent m_icon;
    mutable std::optional<SniPixmapList> m_iconPixmaps;
    // The pictures of the last few icons, for values that come back.
    mutable RecentlyShown<IconContent, SniPixmapList, KeptIcons> m_recentIcons;
    QString m_label;
    QString m_labelGuide;
    ToolTipState m_toolTip;
    QString m_status;
};

} // namespace calidra
