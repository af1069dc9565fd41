// SPDX-License-Identifier: GPL-3.0-or-later
#include "SniItemAdaptor.h"

#include "StatusItem.h"
#include "TitleRenderer.h"

#include <QDBusMetaType>

namespace calidra {
namespace {

// The sizes panels commonly ask for, so that none has to scale far.
const QList<int> UsualIconSides = {16, 22, 24, 32, 48};

void registerTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<SniPixmap>();
        qDBusRegisterMetaType<SniPixmapList>();
        qDBusRegisterMetaType<SniToolTip>();
        return true;
    }();
    Q_UNUSED(registered);
}

QString oneLine(const QString& text)
{
    return QString(text).replace(u'\n', u' ');
}

} // namespace

const QString SniItemAdaptor::MenuPath = QStringLiteral("/MenuBar");
const QString SniItemAdaptor::AlarmMark = QStringLiteral("\u26a0 ");

SniItemAdaptor::SniItemAdaptor(const StatusItem& item, bool labelHost,
                               std::function<void(int, int)> activate,
                               std::function<void(int, int)> popUp, QObject* parent,
                               const QList<int>& iconSides)
    : QDBusAbstractAdaptor(parent), m_item(item), m_labelHost(labelHost),
      m_activate(std::move(activate)), m_popUp(std::move(popUp)),
      m_iconSides(iconSides.isEmpty() ? UsualIconSides : iconSides), m_icon(iconContent()),
      m_label(label()), m_labelGuide(labelGuide()), m_toolTip(toolTipState()), m_status(status())
{
    registerTypes();
    connect(&item, &StatusItem::titleChanged, this, &SniItemAdaptor::announceTitle);
    connect(&item, &StatusItem::enabledChanged, this, &SniItemAdaptor::announceStatus);
}

QString SniItemAdaptor::status() const
{
    return m_item.isEnabled() ? QStringLiteral("Active") : QStringLiteral("Passive");
}

// A panel that shows labels draws the item's image, and may look the
// program's installed icon up by name instead; any other must draw the
// pictures, which a themed name would hide.
QString SniItemAdaptor::iconName() const
{
    return m_labelHost && !m_item.image().isNull() ? QStringLiteral("calidra") : QString();
}

const SniPixmapList& SniItemAdaptor::iconPixmap() const
{
    if (!m_iconPixmaps) {
        const IconContent content = iconContent();
        const SniPixmapList* kept = m_recentIcons.find(content);
        m_iconPixmaps = kept ? *kept : m_recentIcons.keep(content, drawIcon());
    }
    return *m_iconPixmaps;
}

// Some panels show the tooltip's title alone: it carries the values.
SniToolTip SniItemAdaptor::toolTip() const
{
    const QString text = toolTipText();
    const qsizetype lineEnd = text.indexOf(u'\n');
    const QString values = lineEnd < 0 ? text : text.left(lineEnd);
    const QString title =
        values.isEmpty() ? QStringLiteral("Calidra") : QStringLiteral("Calidra: ") + values;
    return {{}, {}, title, lineEnd < 0 ? QString() : text.mid(lineEnd + 1)};
}

QString SniItemAdaptor::label() const
{
    if (!m_labelHost) {
        return {};
    }
    const QString text =
        m_item.values().isEmpty() ? oneLine(m_item.title()) : m_item.values().join(u' ');
    return m_item.alarm() ? AlarmMark + text : text;
}

QString SniItemAdaptor::labelGuide() const
{
    if (!m_labelHost) {
        return {};
    }
    return m_item.alarm() ? AlarmMark + m_item.labelGuide() : m_item.labelGuide();
}

void SniItemAdaptor::Activate(int x, int y)
{
    m_activate(x, y);
}

void SniItemAdaptor::ContextMenu(int x, int y)
{
    m_popUp(x, y);
}

SniItemAdaptor::IconContent SniItemAdaptor::iconContent() const
{
    if (m_labelHost) {
        return {{}, m_item.image().cacheKey(), false};
    }
    return {m_item.values(), m_item.image().cacheKey(), m_item.alarm()};
}

QString SniItemAdaptor::toolTipText() const
{
    return m_item.toolTip().isEmpty() ? oneLine(m_item.title()) : m_item.toolTip();
}

SniItemAdaptor::ToolTipState SniItemAdaptor::toolTipState() const
{
    return {m_item.toolTipRevision(), m_item.hasToolTip() ? QString() : oneLine(m_item.title())};
}

// An image that draws nothing at a size gives no picture of that size. A
// label without an icon gets one clear picture: panels that show labels draw
// a placeholder where an item offers no icon at all.
SniPixmapList SniItemAdaptor::drawIcon() const
{
    SniPixmapList pixmaps;
    if (m_labelHost && m_item.image().isNull()) {
        QImage clear(m_iconSides.front(), m_iconSides.front(), QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        return {SniPixmap::fromImage(clear)};
    }
    for (const int side : m_iconSides) {
        const QImage image = m_labelHost ? m_item.image().pixmap(QSize(side, side), 1.0).toImage()
                                         : TitleRenderer::render(m_item.values(), m_item.image(),
                                                                 side, 1.0, m_item.alarm());
        if (!image.isNull()) {
            pixmaps.append(SniPixmap::fromImage(image));
        }
    }
    return pixmaps;
}

// The tooltip is looked at here too, without composing it: it follows the
// title at its pace.
void SniItemAdaptor::announceTitle()
{
    if (const IconContent icon = iconContent(); icon != m_icon) {
        m_icon = icon;
        m_iconPixmaps.reset();
        emit NewIcon();
    }
    if (label() != m_label || labelGuide() != m_labelGuide) {
        m_label = label();
        m_labelGuide = labelGuide();
        emit XAyatanaNewLabel(m_label, m_labelGuide);
    }
    if (const ToolTipState toolTip = toolTipState(); !(toolTip == m_toolTip)) {
        m_toolTip = toolTip;
        emit NewToolTip();
    }
}

void SniItemAdaptor::announceStatus()
{
    if (status() != m_status) {
        m_status = status();
        emit NewStatus(m_status);
    }
}

} // namespace calidra
