#include "SniTrayFace.h"

namespace calidra {

SniTrayFace::SniTrayFace(const StatusItem& item, bool labelHost, const QDBusConnection& connection,
                         QObject* parent)
    : TrayFace(item, parent), m_connection(connection), m_labelHost(labelHost)
{}

SniTrayFace::~SniTrayFace() = default;

} // namespace calidra
