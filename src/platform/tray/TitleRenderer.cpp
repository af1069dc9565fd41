#include "TitleRenderer.h"

namespace calidra {

QImage TitleRenderer::render(const QStringList&, const QIcon&, int side, qreal pixelRatio)
{
    QImage face(side, side, QImage::Format_ARGB32_Premultiplied);
    face.setDevicePixelRatio(pixelRatio);
    face.fill(Qt::transparent);
    return face;
}

QIcon TitleRenderer::icon(const QStringList& values, const QIcon& image)
{
    return QIcon(QPixmap::fromImage(render(values, image, 22)));
}

} // namespace calidra
