// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

#include <utility>

namespace calidra {

/// Hears, on `connection`, every signal of `interface` that `service` sends
/// from `path`, and keeps each as its name with its arguments in
/// parentheses, "NewStatus(Passive)", in the order heard.
class DBusSignalRecorder : public QObject
{
    Q_OBJECT

public:
    DBusSignalRecorder(QDBusConnection connection, const QString& service, const QString& path,
                       const QString& interface);

    /// Whether the bus took the match for the signals.
    bool isListening() const { return m_listening; }
    /// The signals heard since the last call, and forgets them.
    QStringList take() { return std::exchange(m_heard, {}); }

private slots:
    void record(const QDBusMessage& message);

private:
    QStringList m_heard;
    bool m_listening;
};

} // namespace calidra
