// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace calidra {

class StatusItem;

/// One way of putting a StatusItem into the desktop's tray. A face follows
/// the item it is given from its construction to its destruction: it shows
/// the item at once and then each change the item announces, and does no
/// work while nothing changes. The item outlives the face. Main thread only.
class TrayFace : public QObject
{
    Q_OBJECT

public:
    /// The item followed.
    const StatusItem& item() const { return m_item; }

protected:
    TrayFace(const StatusItem& item, QObject* parent) : QObject(parent), m_item(item) {}

private:
    const StatusItem& m_item;
};

} // namespace calidra
