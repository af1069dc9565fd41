#pragma once

#include "TrayFace.h"

#include <QDBusConnection>

namespace calidra {

class DBusMenuExporter;

/// The face for panels that host StatusNotifierItems: the item is published
/// on `connection` under a name of its own ("org.kde.StatusNotifierItem-
/// <pid>-<n>") at "/StatusNotifierItem", its menu exported at "/MenuBar", and
/// registered with the org.kde.StatusNotifierWatcher. A panel that shows the
/// item's label (`labelHost`) gets the values as the label and the item's
/// image as the icon; any other panel gets the values drawn as the icon.
/// Changes are signalled only when what the panel reads really changed; no
/// call ever blocks.
class SniTrayFace : public TrayFace
{
    Q_OBJECT

public:
    SniTrayFace(const StatusItem& item, bool labelHost, const QDBusConnection& connection,
                QObject* parent = nullptr);
    ~SniTrayFace() override;

    /// The bus name the item is published under; empty when it could not be
    /// claimed.
    const QString& serviceName() const { return m_serviceName; }

private:
    QDBusConnection m_connection;
    QString m_serviceName;
    bool m_labelHost;
};

} // namespace calidra
