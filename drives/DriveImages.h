#pragma once
// The five drive pictures, loaded from the program's resources with their
// key colour (the bottom-left pixel) made transparent.
// Needs a QGuiApplication; load once and keep for the control's lifetime.

#include <QPixmap>
#include <array>

#include "drives/DriveSource.h"

namespace tallowin::drives {

class TDriveImages {
 public:
  TDriveImages();  // loads "FLOPPY", "HARD", "NETWORK", "CDROM", "RAM" in that order

  // nullptr for dkOther.
  const QPixmap* ForKind(TDriveKind kind) const;

 private:
  std::array<QPixmap, 5> images_;
};

// Copy of `image` whose pixels of the bottom-left pixel's colour are transparent.
QImage WithKeyColourTransparent(const QImage& image);

}  // namespace tallowin::drives
