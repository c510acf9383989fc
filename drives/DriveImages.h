#pragma once
// The five drive pictures and the folder picture, loaded from the program's
// resources with their key colour (the bottom-left pixel) made transparent.
//
// Protocol: the combo box owns one TDriveImages, made in its constructor on
// the UI thread (a QGuiApplication must exist) and kept for its lifetime;
// the item delegate and the closed box only borrow the pictures (ForKind).

#include <QPixmap>
#include <array>

#include "drives/DriveSource.h"

class TDriveImages {
public:
    // Loads "FLOPPY", "HARD", "NETWORK", "CDROM", "RAM", "FOLDER" in that order.
    TDriveImages();

    // nullptr for dkOther.
    const QPixmap* ForKind(TDriveKind kind) const;

private:
    std::array<QPixmap, 6> images_;
};

// Copy of `image` whose pixels of the bottom-left pixel's colour are transparent.
QImage WithKeyColourTransparent(const QImage& image);
