#pragma once
// Painting of one drive entry, shared by the drop-down and the closed box.
//
// Protocol: the item delegate (each entry of the drop-down) and the combo
// box's paintEvent (the closed box) call DrawDriveItem on the UI thread with
// a painter they own, already set to the control's font; the image belongs
// to TDriveImages. DriveImageRect is a pure function.

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>

class QPainter;

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
