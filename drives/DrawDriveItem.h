#pragma once
// Painting of one drive entry, shared by the drop-down and the closed box.

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>

class QPainter;

namespace tallowin::drives {

struct TItemColours {
    QColor Back;  // fills the item and shows through the image's key colour
    QColor Text;
};

// Where an image of height h goes in an item: left + 2, centred vertically
// with the division truncating.
QRect DriveImageRect(const QRect& item, int w, int h);

// Fills `item`, draws `image` (nullptr: none, counted 16 wide) and then
// `caption` from left + w + 6: one line, vertically centred, clipped,
// ampersands shown as they are. The painter's font is used.
void DrawDriveItem(QPainter& painter, const QRect& item, const QPixmap* image, const QString& caption,
                   const TItemColours& colours);

}  // namespace tallowin::drives
