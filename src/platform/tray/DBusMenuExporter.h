#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QPointer>

#include <functional>

class QMenu;

namespace calidra {

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
    QPointer<QMenu> m_menu;
    std::function<void()> m_validator;
    QDBusConnection m_connection;
    QString m_objectPath;
    bool m_registered = false;
};

} // namespace calidra
