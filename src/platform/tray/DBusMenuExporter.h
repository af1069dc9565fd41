// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <optional>

class QAction;
class QMenu;

namespace calidra {

class DBusMenuAdaptor;
struct DBusMenuItemProperties;
struct DBusMenuLayoutItem;

/// Publishes a QMenu on D-Bus as a com.canonical.dbusmenu object, so that a
/// panel can draw it as its own menu: the same items, texts, enabled states
/// and separators. Before the panel opens the menu, `validator` runs, so that
/// the items show what they would show in the QMenu; a click a panel reports
/// triggers the action. The panel is told when items change.
/// Main thread only; the menu may be deleted first.
class DBusMenuExporter : public QObject
{
    Q_OBJECT

public:
    /// Registers the object at `objectPath` on `connection`; the registration
    /// ends with the exporter.
    DBusMenuExporter(QMenu* menu, std::function<void()> validator,
                     const QDBusConnection& connection, const QString& objectPath,
                     QObject* parent = nullptr);
    ~DBusMenuExporter() override;

    /// Whether the object could be registered.
    bool isRegistered() const { return m_registered; }

private:
    // The adaptor takes the panel's calls and answers them with what follows.
    friend class DBusMenuAdaptor;

    /// The item `parentId` with its properties among `names` (all when empty)
    /// and, unless `depth` is 0, its children; none when there is no such
    /// item.
    std::optional<DBusMenuLayoutItem> layout(int parentId, int depth, const QStringList& names);
    QList<DBusMenuItemProperties> groupProperties(const QList<int>& ids, const QStringList& names);
    std::optional<QVariant> itemProperty(int id, const QString& name) const;
    /// False when there is no item `id`.
    bool handleEvent(int id, const QString& eventId);
    /// Whether the panel should read the layout again; none when there is no
    /// item `id`.
    std::optional<bool> aboutToShow(int id);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void adopt(QAction* action);
    void forgetDeleted();
    void forgetAll();
    void validate();
    bool exists(int id) const;
    QList<int> currentIds() const;
    QVariantMap fullProperties(int id) const;
    QVariantMap publishedProperties(int id, const QStringList& names);
    void settleLayout();
    void flushProperties();
    void flushLayout();

    QPointer<QMenu> m_menu;
    std::function<void()> m_validator;
    QDBusConnection m_connection;
    QString m_objectPath;
    bool m_registered = false;
    DBusMenuAdaptor* m_adaptor = nullptr;
    QHash<QAction*, int> m_ids;
    QHash<int, QPointer<QAction>> m_actions;
    // Per item, the property values the panel was last given.
    QHash<int, QVariantMap> m_known;
    int m_nextId = 1;
    // The layout's revision: the item ids in menu order it stands for, and the
    // revision the panel was last given.
    uint m_revision = 1;
    QList<int> m_layoutIds;
    uint m_knownRevision = 1;
    // Whether anything changed since the panel last read the whole layout.
    bool m_changedSinceRead = true;
    // Whether the validator ran for the opening under way.
    bool m_validatedForOpening = false;
    QTimer m_propertiesTimer;
    QTimer m_layoutTimer;
};

} // namespace calidra
