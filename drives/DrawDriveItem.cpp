#include "drives/DrawDriveItem.h"

#include <QPainter>

QRect DriveImageRect(const QRect& item, int w, int h)
{
    const int bottom = item.top() + item.height();  // exclusive
    return QRect(item.left() + 2, (item.top() + bottom - h) / 2, w, h);
}

void DrawDriveItem(QPainter& painter, const QRect& item, const QPixmap* image, const QString& caption,
                   const TItemColours& colours)
{
    painter.fillRect(item, colours.Back);
    int w = 16;
    if (image && !image->isNull()) {
        w = image->width();
        painter.drawPixmap(DriveImageRect(item, w, image->height()).topLeft(), *image);
    }
    QRect text = item;
    text.setLeft(item.left() + w + 6);
    if (text.width() <= 0)
        return;
    painter.save();
    painter.setClipRect(text, Qt::IntersectClip);
    painter.setPen(colours.Text);
    // No Qt::TextShowMnemonic: "&" stays an ampersand.
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
    painter.restore();
}
