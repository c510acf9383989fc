#include "drives/DriveImages.h"

#include <QImage>

// The resources live in a static library; make sure they are registered.
static void InitDriveResources()
{
    Q_INIT_RESOURCE(drives);
}

QImage WithKeyColourTransparent(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    if (out.isNull())
        return out;
    const QRgb key = out.pixel(0, out.height() - 1) | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return out;
}

TDriveImages::TDriveImages()
{
    InitDriveResources();
    static constexpr const char* kNames[] = {":/drives/FLOPPY", ":/drives/HARD", ":/drives/NETWORK",
                                             ":/drives/CDROM",  ":/drives/RAM",  ":/drives/FOLDER"};
    for (std::size_t i = 0; i < images_.size(); ++i)
        images_[i] = QPixmap::fromImage(WithKeyColourTransparent(QImage(QString::fromLatin1(kNames[i]))));
}

const QPixmap* TDriveImages::ForKind(TDriveKind kind) const
{
    switch (kind) {
    case TDriveKind::dkRemovable:
        return &images_[0];
    case TDriveKind::dkFixed:
        return &images_[1];
    case TDriveKind::dkRemote:
        return &images_[2];
    case TDriveKind::dkCdRom:
        return &images_[3];
    case TDriveKind::dkRamDisk:
        return &images_[4];
    case TDriveKind::dkFolder:
        return &images_[5];
    case TDriveKind::dkOther:
        break;
    }
    return nullptr;
}
