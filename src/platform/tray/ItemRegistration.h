// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QDBusMessage;

namespace calidra {

/// Keeps a StatusNotifierItem registered with the org.kde.StatusNotifierWatcher
/// and makes sure the watcher lists it: a registration that the watcher takes
/// and then drops (a panel failing to set the item up) or never takes is
/// registered again, after a pause that grows from half a second to half a
/// minute, until the watcher lists the item. The list is read again whenever
/// the watcher says an item came or went, or its list changed.
///
/// The item is registered by its object path first, so that the watcher takes
/// the connection's own unique name, which lives as long as the connection:
/// panels that follow a well-known name's owner set such items up in a race
/// they can lose. Every second attempt uses a name of its own instead
/// ("org.kde.StatusNotifierItem-<pid>-<n>", claimed then), for a watcher that
/// takes names only. Nothing here waits; a watcher that never answers costs a
/// call every half minute.
class ItemRegistration : public QObject
{
    Q_OBJECT

public:
    /// Starts registering the item at `objectPath` on `connection`, which
    /// must be connected; the watcher's name need not have an owner yet.
    ItemRegistration(const QDBusConnection& connection, const QString& objectPath,
                     QObject* parent = nullptr);
    ~ItemRegistration() override;

    /// Whether the watcher listed the item when its list was last read.
    bool isListed() const { return m_listed; }
    /// The well-known name claimed for the item; empty while none is.
    const QString& serviceName() const { return m_serviceName; }
    /// How many registrations were sent.
    int attempts() const { return m_attempts; }

    /// Whether an entry of a watcher's item list stands for the item at
    /// `objectPath` of the connection `uniqueName` or, where not empty, of its
    /// name `serviceName`. Watchers list a name alone, a name and a path
    /// ("name/path") or a name, '@' and a path.
    static bool lists(const QString& entry, const QString& uniqueName, const QString& serviceName,
                      const QString& objectPath);

signals:
    void listedChanged(bool listed);

private slots:
    void scheduleCheck();

private:
    void registerItem();
    void registerAs(const QString& service);
    void claimNameAndRegister();
    void check();
    void handleList(const QDBusMessage& reply);
    void setListed(bool listed);

    QDBusConnection m_connection;
    QString m_objectPath;
    QString m_serviceName;
    bool m_listed = false;
    int m_attempts = 0;
    static constexpr int FirstRetryDelay = 500;
    int m_retryDelay = FirstRetryDelay;
    QTimer m_retryTimer;
    QTimer m_checkTimer;
    QElapsedTimer m_listedSince;
};

} // namespace calidra
