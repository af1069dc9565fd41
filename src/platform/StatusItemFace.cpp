#include "StatusItemFace.h"

#include "platform/StatusItem.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>

#include <algorithm>
#include <cmath>
#include <utility>

namespace calidra {
namespace {

// Logical pixels: the tray's height when it does not tell, the image's side,
// the gap between image and text, and the dark halo's pen (half of it outside
// the glyphs).
constexpr int defaultHeight = 22;
constexpr int imageSide = 16;
constexpr int imageSpacing = 3;
constexpr qreal haloWidth = 1.5;

// The title as glyph outlines, its lines centred on each other, and the box
// it occupies: the lines' advances and font height, and any ink beyond them,
// with room for the halo.
QPainterPath textPath(const QString& text, const QFont& font, QRectF* box)
{
    const QFontMetricsF metrics(font);
    const QStringList lines = text.split(u'\n');
    qreal width = 0;
    for (const QString& line : lines) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    QPainterPath path;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qreal x = (width - metrics.horizontalAdvance(lines[i])) / 2;
        path.addText(x, metrics.ascent() + qreal(i) * metrics.lineSpacing(), font, lines[i]);
    }
    const qreal height = metrics.height() + qreal(lines.size() - 1) * metrics.lineSpacing();
    *box = QRectF(0, 0, width, height).united(path.boundingRect());
    *box = box->adjusted(-haloWidth / 2, -haloWidth / 2, haloWidth / 2, haloWidth / 2);
    return path;
}

// Trays give each icon a square slot of their height and shrink a wider
// picture into it, so the face is drawn square: the image and the text are
// laid out side by side and shrunk alike until they fit, never enlarged
// beyond the title's own font. Drawing at the final size keeps the halo crisp.
QPixmap render(const QString& text, const QFont& font, const QIcon& image, int side,
               qreal pixelRatio)
{
    QRectF box;
    QPainterPath path = text.isEmpty() ? QPainterPath() : textPath(text, font, &box);
    const qreal textLeft = image.isNull() ? 0 : imageSide + (text.isEmpty() ? 0 : imageSpacing);
    const qreal width = std::max(1.0, textLeft + box.width());
    const qreal height = std::max({1.0, box.height(), image.isNull() ? 0.0 : qreal(imageSide)});
    const qreal scale = std::min({1.0, side / width, side / height});
    const QPointF origin((side - width * scale) / 2, (side - height * scale) / 2);

    QPixmap face(int(std::ceil(side * pixelRatio)), int(std::ceil(side * pixelRatio)));
    face.setDevicePixelRatio(pixelRatio);
    face.fill(Qt::transparent);
    QPainter painter(&face);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!image.isNull()) {
        const qreal imageTop = origin.y() + (height - imageSide) / 2 * scale;
        image.paint(
            &painter,
            QRectF(origin.x(), imageTop, imageSide * scale, imageSide * scale).toAlignedRect());
    }
    if (!text.isEmpty()) {
        QTransform placement;
        placement.translate(origin.x() + (textLeft - box.left()) * scale,
                            origin.y() + ((height - box.height()) / 2 - box.top()) * scale);
        placement.scale(scale, scale);
        path = placement.map(path);
        // The pen is set after scaling so that the halo keeps its width.
        painter.strokePath(path, QPen(QColor(0, 0, 0, 220), haloWidth, Qt::SolidLine, Qt::RoundCap,
                                      Qt::RoundJoin));
        painter.fillPath(path, Qt::white);
    }
    return face;
}

} // namespace

StatusItemFace::StatusItemFace(QObject* parent)
    : QObject(parent), m_trayIcon(new QSystemTrayIcon(this))
{}

void StatusItemFace::show(const StatusItem& item)
{
    const QRect geometry = m_trayIcon->geometry();
    const int height = geometry.isValid() ? geometry.height() : defaultHeight;
    const qreal pixelRatio = qApp->devicePixelRatio();
    const qint64 imageKey = item.image().isNull() ? 0 : item.image().cacheKey();
    if (m_face.isNull() || item.title() != m_drawnText || item.font() != m_drawnFont ||
        imageKey != m_drawnImageKey || height != m_drawnHeight || pixelRatio != m_drawnPixelRatio) {
        m_face = render(item.title(), item.font(), item.image(), height, pixelRatio);
        ++m_drawCount;
        m_drawnText = item.title();
        m_drawnFont = item.font();
        m_drawnImageKey = imageKey;
        m_drawnHeight = height;
        m_drawnPixelRatio = pixelRatio;
        m_trayIcon->setIcon(QIcon(m_face));
    }
    m_trayIcon->setToolTip(QString(item.title()).replace(u'\n', u' '));
    attachMenu(item.menu());
    m_trayIcon->setVisible(item.isEnabled());
}

void StatusItemFace::setMenuValidator(std::function<void()> validator)
{
    m_validator = std::move(validator);
}

void StatusItemFace::attachMenu(QMenu* menu)
{
    if (menu == m_menu) {
        return;
    }
    disconnect(m_menuConnection);
    m_menu = menu;
    m_trayIcon->setContextMenu(menu);
    if (menu) {
        // The validator is looked up at each opening, so that it may be set
        // before or after the menu.
        m_menuConnection = connect(menu, &QMenu::aboutToShow, this, [this] {
            if (m_validator) {
                m_validator();
            }
        });
    }
}

} // namespace calidra
