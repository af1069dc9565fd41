// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QIconEngine>
#include <QPixmap>
#include <QStringList>

namespace calidra {

/// The icon engine behind TitleRenderer::icon: it draws the face for the
/// values, image and alarm at the size and device pixel ratio it is asked for, and
/// keeps the few faces it drew so that asking again draws nothing. Faces are
/// square, the largest the asked size holds; every mode and state looks the
/// same. A size of nothing gives a null pixmap. Main thread only, as pixmaps
/// are.
class FaceIconEngine : public QIconEngine
{
public:
    FaceIconEngine(const QStringList& values, const QIcon& image, bool alarm);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    /// The sizes trays commonly ask for; any other is drawn as well.
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString key() const override;
    QIconEngine* clone() const override;

private:
    QPixmap face(int side, qreal pixelRatio);

    QStringList m_values;
    QIcon m_image;
    bool m_alarm;
    QHash<std::pair<int, qreal>, QPixmap> m_faces;
};

} // namespace calidra
