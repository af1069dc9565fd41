// SPDX-License-Identifier: GPL-3.0-or-later
#include "DBusMenuExporter.h"

#include "DBusMenuAdaptor.h"

#include <QActionEvent>
#include <QMenu>

namespace calidra {
namespace {

const QString Type = u"type"_qs;
const QString Label = u"label"_qs;
const QString Enabled = u"enabled"_qs;
const QString Visible = u"visible"_qs;
const QString ChildrenDisplay = u"children-display"_qs;

// What a panel takes for a property an item leaves out.
const QVariantMap& propertyDefaults()
{
    static const QVariantMap defaults{
        {Type, u"standard"_qs}, {Label, QString()}, {Enabled, true}, {Visible, true}};
    return defaults;
}

// Menus mark the mnemonic with '&' ("&&" for a literal one); dbusmenu marks it
// with '_' ("__" for a literal one).
QString dbusMenuLabel(const QString& text)
{
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'_') {
            label += u"__"_qs;
        } else if (c != u'&') {
            label += c;
        } else if (i + 1 < text.size() && text.at(i + 1) == u'&') {
            label += c;
            ++i;
        } else if (i + 1 < text.size()) {
            label += u'_';
        }
    }
    return label;
}

// A hidden action reads as disabled too; that says nothing of how it shows
// once visible, when it is sent again.
QVariantMap actionProperties(const QAction& action)
{
    const bool separator = action.isSeparator();
    return {{Type, separator ? u"separator"_qs : u"standard"_qs},
            {Label, separator ? QString() : dbusMenuLabel(action.text())},
            {Enabled, action.isEnabled() || !action.isVisible()},
            {Visible, action.isVisible()}};
}

bool wanted(const QString& name, const QStringList& names)
{
    return names.isEmpty() || names.contains(name);
}

} // namespace

// An adaptor rather than a QDBusVirtualObject: the interface is fixed and at
// one path, so QtDBus can check and demarshal the arguments, and answer
// property reads and the interface's XML, from the adaptor's declarations.
DBusMenuExporter::DBusMenuExporter(QMenu* menu, std::function<void()> validator,
                                   const QDBusConnection& connection, const QString& objectPath,
                                   QObject* parent)
    : QObject(parent), m_menu(menu), m_validator(std::move(validator)), m_connection(connection),
      m_objectPath(objectPath), m_adaptor(new DBusMenuAdaptor(this))
{
    // Changes are sent from a zero timer, so that a validation pass that
    // changes many items sends one signal.
    for (QTimer* timer : {&m_propertiesTimer, &m_layoutTimer}) {
        timer->setSingleShot(true);
        timer->setInterval(0);
    }
    connect(&m_propertiesTimer, &QTimer::timeout, this, &DBusMenuExporter::flushProperties);
    connect(&m_layoutTimer, &QTimer::timeout, this, &DBusMenuExporter::flushLayout);
    if (m_menu) {
        for (QAction* action : m_menu->actions()) {
            adopt(action);
        }
        m_layoutIds = currentIds();
        m_menu->installEventFilter(this);
        connect(m_menu, &QObject::destroyed, this, &DBusMenuExporter::forgetAll);
    }
    m_registered = m_connection.registerObject(m_objectPath, this, QDBusConnection::ExportAdaptors);
}

DBusMenuExporter::~DBusMenuExporter()
{
    if (m_registered) {
        m_connection.unregisterObject(m_objectPath);
    }
}

std::optional<DBusMenuLayoutItem> DBusMenuExporter::layout(int parentId, int depth,
                                                           const QStringList& names)
{
    if (!exists(parentId)) {
        return std::nullopt;
    }
    settleLayout();
    DBusMenuLayoutItem item{parentId, publishedProperties(parentId, names), {}};
    if (parentId != 0) {
        return item;
    }
    m_knownRevision = m_revision;
    m_changedSinceRead = false;
    if (depth != 0) {
        for (int id : std::as_const(m_layoutIds)) {
            item.children.append({id, publishedProperties(id, names), {}});
        }
    }
    return item;
}

QList<DBusMenuItemProperties> DBusMenuExporter::groupProperties(const QList<int>& ids,
                                                                const QStringList& names)
{
    QList<DBusMenuItemProperties> items;
    for (int id : ids) {
        if (exists(id)) {
            items.append({id, publishedProperties(id, names)});
        }
    }
    return items;
}

std::optional<QVariant> DBusMenuExporter::itemProperty(int id, const QString& name) const
{
    const QVariantMap properties = exists(id) ? fullProperties(id) : QVariantMap();
    const auto found = properties.constFind(name);
    if (found == properties.cend()) {
        return std::nullopt;
    }
    return *found;
}

bool DBusMenuExporter::handleEvent(int id, const QString& eventId)
{
    if (!exists(id)) {
        return false;
    }
    if (id != 0) {
        // Queued, so that the reply leaves before the command runs: a command
        // may open a modal dialog.
        if (eventId == u"clicked"_qs) {
            QAction* action = m_actions.value(id);
            QTimer::singleShot(0, action, &QAction::trigger);
        }
        return true;
    }
    // Some panels open the menu without asking AboutToShow first.
    if (eventId == u"opened"_qs && !m_validatedForOpening) {
        validate();
    } else if (eventId == u"closed"_qs) {
        m_validatedForOpening = false;
    }
    return true;
}

std::optional<bool> DBusMenuExporter::aboutToShow(int id)
{
    if (!exists(id)) {
        return std::nullopt;
    }
    if (id != 0) {
        return false;
    }
    validate();
    // The validator's changes are sent now, ahead of the reply, so that the
    // panel has them when it draws the menu.
    flushProperties();
    flushLayout();
    return m_changedSinceRead;
}

// Watches the menu alone. It sees the menu's last events while the menu is
// being destroyed, so it leaves `m_menu` alone for any other event.
bool DBusMenuExporter::eventFilter(QObject* watched, QEvent* event)
{
    const bool added = event->type() == QEvent::ActionAdded;
    if (added || event->type() == QEvent::ActionRemoved) {
        if (added) {
            adopt(static_cast<QActionEvent*>(event)->action());
        }
        m_layoutTimer.start();
    }
    return QObject::eventFilter(watched, event);
}

// An action keeps its id while it lives, also when it is taken out of the
// menu and put back.
void DBusMenuExporter::adopt(QAction* action)
{
    if (m_actions.value(m_ids.value(action)) == action) {
        return;
    }
    const int id = m_nextId++;
    m_ids.insert(action, id);
    m_actions.insert(id, action);
    m_known.insert(id, actionProperties(*action));
    connect(action, &QAction::changed, &m_propertiesTimer, qOverload<>(&QTimer::start),
            Qt::UniqueConnection);
}

void DBusMenuExporter::forgetDeleted()
{
    for (auto it = m_actions.begin(); it != m_actions.end();) {
        if (it->isNull()) {
            m_known.remove(it.key());
            m_ids.remove(m_ids.key(it.key()));
            it = m_actions.erase(it);
        } else {
            ++it;
        }
    }
}

void DBusMenuExporter::forgetAll()
{
    m_ids.clear();
    m_actions.clear();
    m_known.clear();
    m_layoutTimer.start();
}

void DBusMenuExporter::validate()
{
    m_validatedForOpening = true;
    if (m_validator) {
        m_validator();
    }
}

bool DBusMenuExporter::exists(int id) const
{
    const QAction* action = m_actions.value(id);
    return id == 0 || (action && m_menu && m_menu->actions().contains(action));
}

QList<int> DBusMenuExporter::currentIds() const
{
    QList<int> ids;
    if (m_menu) {
        for (QAction* action : m_menu->actions()) {
            if (const int id = m_ids.value(action)) {
                ids.append(id);
            }
        }
    }
    return ids;
}

QVariantMap DBusMenuExporter::fullProperties(int id) const
{
    if (id == 0) {
        return {{ChildrenDisplay, u"submenu"_qs}};
    }
    return actionProperties(*m_actions.value(id));
}

// The properties among `names` that differ from their defaults, which the
// panel then knows.
QVariantMap DBusMenuExporter::publishedProperties(int id, const QStringList& names)
{
    QVariantMap published;
    const QVariantMap properties = fullProperties(id);
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        if (!wanted(it.key(), names)) {
            continue;
        }
        if (id != 0) {
            m_known[id].insert(it.key(), it.value());
        }
        if (propertyDefaults().value(it.key()) != it.value()) {
            published.insert(it.key(), it.value());
        }
    }
    return published;
}

void DBusMenuExporter::settleLayout()
{
    const QList<int> ids = currentIds();
    if (ids != m_layoutIds) {
        m_layoutIds = ids;
        ++m_revision;
    }
}

// Sends the properties that differ from what the panel was last given, with
// their values even where that is the default.
void DBusMenuExporter::flushProperties()
{
    QList<DBusMenuItemProperties> updated;
    for (int id : currentIds()) {
        QVariantMap& known = m_known[id];
        QVariantMap changed;
        const QVariantMap properties = fullProperties(id);
        for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
            if (known.value(it.key()) != it.value()) {
                changed.insert(it.key(), it.value());
                known.insert(it.key(), it.value());
            }
        }
        if (!changed.isEmpty()) {
            updated.append({id, changed});
        }
    }
    if (!updated.isEmpty()) {
        m_changedSinceRead = true;
        emit m_adaptor->ItemsPropertiesUpdated(updated, {});
    }
}

void DBusMenuExporter::flushLayout()
{
    forgetDeleted();
    settleLayout();
    if (m_revision != m_knownRevision) {
        m_knownRevision = m_revision;
        m_changedSinceRead = true;
        emit m_adaptor->LayoutUpdated(m_revision, 0);
    }
}

} // namespace calidra
