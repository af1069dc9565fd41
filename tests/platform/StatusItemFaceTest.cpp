#include "platform/StatusItemFace.h"

#include "QtPrinters.h"
#include "platform/StatusItem.h"

#include <QBitmap>
#include <QMenu>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

namespace calidra {
namespace {

// The height of the ink in `face`'s last drawing, or -1 when it touches the top or bottom.
int inkHeight(const StatusItemFace& face)
{
    const QImage image = face.renderedFace().toImage();
    const QBitmap ink = QBitmap::fromImage(image.createAlphaMask(Qt::ThresholdAlphaDither));
    const QRect box = QRegion(ink).boundingRect();
    return box.top() == 0 || box.bottom() == image.height() - 1 ? -1 : box.height();
}

TEST(StatusItemFaceTest, TitlesShrinkIntoASquareTraySlotAndOnlyChangesRedraw)
{
    StatusItemFace face;
    StatusItem item;
    item.setFont(QFont(u"DejaVu Sans"_qs, 12)); // two lines of it are taller than 22 pixels
    item.setTitle(u"52\u2103"_qs);
    face.show(item);
    const int oneLine = inkHeight(face);
    item.setTitle(u"52\u2103\n2.00 GHz"_qs);
    face.show(item);
    EXPECT_GT(inkHeight(face), oneLine);
    // Trays give icons a square slot.
    EXPECT_EQ(face.renderedFace().deviceIndependentSize(), QSizeF(22, 22));
    EXPECT_EQ(face.findChild<QSystemTrayIcon*>()->toolTip(), u"52\u2103 2.00 GHz"_qs);
    item.setTitle(u"52\u2103"_qs);
    item.setImage(QIcon(QPixmap(16, 16)));
    face.show(item);
    face.show(item);
    EXPECT_EQ(face.drawCount(), 3);
    EXPECT_EQ(face.renderedFace().deviceIndependentSize(), QSizeF(22, 22));
    item.setFont(QFont(u"DejaVu Serif"_qs, 12));
    face.show(item);
    EXPECT_EQ(face.drawCount(), 4);
}

TEST(StatusItemFaceTest, TheValidatorRunsBeforeTheCurrentMenuOnly)
{
    StatusItemFace face;
    int runs = 0;
    face.setMenuValidator([&runs] { ++runs; });
    QMenu first, second;
    StatusItem item;
    item.setMenu(&first);
    face.show(item);
    emit first.aboutToShow();
    item.setMenu(&second);
    face.show(item);
    emit first.aboutToShow();
    emit second.aboutToShow();
    EXPECT_EQ(runs, 2);
}

} // namespace
} // namespace calidra
