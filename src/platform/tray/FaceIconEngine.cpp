// SPDX-License-Identifier: GPL-3.0-or-later
#include "FaceIconEngine.h"

#include "TitleRenderer.h"

#include <QPainter>

namespace calidra {

namespace {

// A tray asks for one or two sizes; a caller that asks for many more only
// starts the collection anew.
constexpr qsizetype MaximumKeptFaces = 8;

} // namespace

FaceIconEngine::FaceIconEngine(const QStringList& values, const QIcon& image, bool alarm)
    : m_values(values), m_image(image), m_alarm(alarm)
{}

// The face is square: the largest one the rect holds, centred in it, at the
// painter's device pixel ratio.
void FaceIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State)
{
    const int side = std::min(rect.width(), rect.height());
    if (!painter || side <= 0) {
        return;
    }
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    QRect target(0, 0, side, side);
    target.moveCenter(rect.center());
    painter->drawPixmap(target, face(side, ratio));
}

QSize FaceIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State)
{
    const int side = std::max(0, std::min(size.width(), size.height()));
    return {side, side};
}

QPixmap FaceIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1.0);
}

// `size` is in device pixels, `scale` device pixels to the logical one; the
// face is never larger than asked, though 33 / 1.1 must still give 30.
QPixmap FaceIconEngine::scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale)
{
    const qreal ratio = scale > 0 ? scale : 1.0;
    const int side = int(std::min(size.width(), size.height()) / ratio + 1e-6);
    return side > 0 ? face(side, ratio) : QPixmap();
}

QList<QSize> FaceIconEngine::availableSizes(QIcon::Mode, QIcon::State)
{
    return {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}};
}

QString FaceIconEngine::key() const
{
    return u"FaceIconEngine"_qs;
}

QIconEngine* FaceIconEngine::clone() const
{
    return new FaceIconEngine(m_values, m_image, m_alarm);
}

QPixmap FaceIconEngine::face(int side, qreal pixelRatio)
{
    const std::pair<int, qreal> key{side, pixelRatio};
    const auto kept = m_faces.constFind(key);
    if (kept != m_faces.constEnd()) {
        return *kept;
    }
    if (m_faces.size() >= MaximumKeptFaces) {
        m_faces.clear();
    }
    const QPixmap drawn =
        QPixmap::fromImage(TitleRenderer::render(m_values, m_image, side, pixelRatio, m_alarm));
    m_faces.insert(key, drawn);
    return drawn;
}

} // namespace calidra
