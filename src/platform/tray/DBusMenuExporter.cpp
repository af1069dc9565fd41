#include "DBusMenuExporter.h"

#include <QMenu>

namespace calidra {

DBusMenuExporter::DBusMenuExporter(QMenu* menu, std::function<void()> validator,
                                   const QDBusConnection& connection, const QString& objectPath,
                                   QObject* parent)
    : QObject(parent), m_menu(menu), m_validator(std::move(validator)), m_connection(connection),
      m_objectPath(objectPath)
{}

DBusMenuExporter::~DBusMenuExporter() = default;

} // namespace calidra
