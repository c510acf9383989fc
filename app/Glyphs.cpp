// Pictures of the program, drawn with QPainter at their pixel sizes.
#include "app/Glyphs.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kWhite(255, 255, 255);
const QColor kSilver(192, 192, 192);
const QColor kYellow(255, 255, 0);
const QColor kCyan(0, 255, 255);

QImage Canvas(int w, int h, const QColor& key)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(key);
    return img;
}

// Glyph text is drawn without smoothing so no pixel blends with the key.
QFont GlyphFont(int pixelHeight, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

void DrawText(QImage& img, const QRect& box, int pixelHeight, const QString& text, const QColor& colour,
              bool bold = true)
{
    QPainter p(&img);
    p.setFont(GlyphFont(pixelHeight, bold));
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

// Blue arrow pointing down along the right half of a 20 x 20 sort glyph.
void DrawDownArrow(QImage& img)
{
    QPainter p(&img);
    const QColor blue(0, 0, 255);
    p.fillRect(14, 2, 2, 12, blue);
    const QPoint head[] = {QPoint(11, 13), QPoint(18, 13), QPoint(14, 18), QPoint(15, 18)};
    p.setPen(blue);
    p.setBrush(blue);
    p.drawPolygon(head, 4);
}

QImage SortGlyph(const QString& upper, const QString& lower)
{
    QImage img = Canvas(20, 20, kSilver);
    DrawText(img, QRect(0, 0, 11, 10), 9, upper, Qt::black);
    DrawText(img, QRect(0, 10, 11, 10), 9, lower, Qt::black);
    DrawDownArrow(img);
    return img;
}

void DrawFolder(QPainter& p, const QRectF& r, const QColor& face, const QColor& edge)
{
    const qreal w = r.width();
    const qreal h = r.height();
    QPainterPath back;
    back.moveTo(r.left(), r.top() + h * 0.15);
    back.lineTo(r.left() + w * 0.38, r.top() + h * 0.15);
    back.lineTo(r.left() + w * 0.46, r.top() + h * 0.28);
    back.lineTo(r.right(), r.top() + h * 0.28);
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    p.setPen(QPen(edge, 1));
    p.setBrush(face.darker(115));
    p.drawPath(back);
    p.setBrush(face);
    p.drawRect(QRectF(r.left(), r.top() + h * 0.38, w, h * 0.62));
}

}  // namespace

QImage GoGlyph()
{
    QImage img = Canvas(16, 16, kWhite);
    QPainter p(&img);
    p.fillRect(3, 1, 1, 14, Qt::black);  // pole
    p.fillRect(2, 14, 4, 1, Qt::black);  // foot
    const QPoint flag[] = {QPoint(4, 1), QPoint(13, 4), QPoint(4, 8)};
    p.setPen(QColor(128, 0, 0));
    p.setBrush(QColor(255, 0, 0));
    p.drawPolygon(flag, 3);
    return img;
}

QImage PercentGlyph()
{
    QImage img = Canvas(18, 18, kWhite);
    DrawText(img, img.rect(), 15, QStringLiteral("%"), Qt::black);
    return img;
}

QImage ValueGlyph()
{
    QImage img = Canvas(18, 18, kWhite);
    DrawText(img, img.rect(), 10, QStringLiteral("MB"), Qt::black);
    return img;
}

QImage BySizeGlyph()
{
    return SortGlyph(QStringLiteral("9"), QStringLiteral("1"));
}
QImage ByNameGlyph()
{
    return SortGlyph(QStringLiteral("A"), QStringLiteral("Z"));
}

QImage VersionGlyph()
{
    QImage img = Canvas(16, 16, kYellow);
    {
        QPainter p(&img);
        p.setPen(QColor(0, 0, 128));
        p.setBrush(QColor(128, 192, 255));
        p.drawEllipse(QRect(0, 0, 15, 15));
    }
    DrawText(img, QRect(0, 1, 16, 14), 13, QStringLiteral("i"), QColor(0, 0, 128));
    return img;
}

QImage OkGlyph()
{
    QImage img = Canvas(16, 16, kWhite);
    QPainter p(&img);
    p.setPen(QPen(QColor(0, 128, 0), 2));
    const QPoint tick[] = {QPoint(2, 8), QPoint(6, 12), QPoint(14, 3)};
    p.drawPolyline(tick, 3);
    return img;
}

QImage AboutPicture()
{
    QImage img = Canvas(32, 28, kCyan);
    QPainter p(&img);
    DrawFolder(p, QRectF(1.5, 12.5, 25, 14), QColor(255, 220, 80), QColor(128, 96, 0));
    // pie rising out of the folder: green, blue and magenta slices
    const QRectF pie(12.5, 0.5, 18, 18);
    const QColor slices[] = {QColor(0, 192, 0), QColor(0, 0, 255), QColor(255, 0, 255)};
    const int spans[] = {150, 120, 90};
    int start = 30;
    p.setPen(Qt::black);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(slices[i]);
        p.drawPie(pie, start * 16, spans[i] * 16);
        start += spans[i];
    }
    return img;
}

QImage KeyedImage(const QImage& glyph)
{
    QImage out = glyph.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = glyph.pixel(0, glyph.height() - 1);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xff000000u) == (key | 0xff000000u))
                line[x] = 0;
    }
    return out;
}

QIcon KeyedIcon(const QImage& glyph)
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(KeyedImage(glyph)), QIcon::Normal);
    return icon;
}

std::array<QImage, 3> TreeImages()
{
    std::array<QImage, 3> images;
    for (auto& img : images) {
        img = QImage(16, 16, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
    }
    {
        QPainter p(&images[0]);
        DrawFolder(p, QRectF(0.5, 1.5, 15, 12), QColor(255, 220, 80), QColor(128, 96, 0));
    }
    {
        QPainter p(&images[1]);
        p.setPen(QColor(64, 64, 64));
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(0, 5, 15, 7);
        p.fillRect(1, 10, 14, 2, QColor(128, 128, 128));
        p.fillRect(11, 7, 2, 2, QColor(0, 224, 0));  // the light
    }
    {
        QPainter p(&images[2]);
        const QPoint sheet[] = {QPoint(2, 0), QPoint(10, 0), QPoint(13, 3), QPoint(13, 15), QPoint(2, 15)};
        p.setPen(QColor(96, 96, 96));
        p.setBrush(Qt::white);
        p.drawPolygon(sheet, 5);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(0, 96, 96));
        p.setBrush(QColor(0, 160, 170));
        p.drawEllipse(QRectF(4.5, 5.5, 7, 7));
        p.setPen(QColor(120, 220, 120));
        p.drawLine(QPointF(5, 9), QPointF(11, 9));
        p.drawLine(QPointF(8, 6), QPointF(8, 12));
    }
    return images;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QImage img(size, size, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size;
        DrawFolder(p, QRectF(0.5, s * 0.08, s * 0.85, s * 0.7), QColor(70, 130, 230), QColor(20, 50, 120));
        // magnifier: lens and handle over the folder's lower right
        p.setPen(QPen(QColor(60, 40, 20), std::max(1.5, s / 10)));
        p.drawLine(QPointF(s * 0.72, s * 0.72), QPointF(s * 0.95, s * 0.95));
        p.setPen(QPen(QColor(40, 40, 40), std::max(1.0, s / 16)));
        p.setBrush(QColor(210, 235, 255, 220));
        p.drawEllipse(QPointF(s * 0.58, s * 0.58), s * 0.22, s * 0.22);
        p.end();
        icon.addPixmap(QPixmap::fromImage(img));
    }
    return icon;
}
