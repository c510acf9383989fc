#include "chart/qt/QtSurface.h"

#include <QGuiApplication>
#include <QPalette>
#include <QPolygon>
#include <QScreen>
#include <cmath>

QColor ToQColor(TColor c)
{
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

TQtSurface::TQtSurface(QPainter& painter, int width, int height)
    : width_(width), height_(height), painter_(&painter)
{
    SetFont(fontDesc_);
}

TQtSurface::TQtSurface(int width, int height)
    : width_(width),
      height_(height),
      image_(std::make_unique<QImage>(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32))
{
    image_->fill(Qt::white);
    ownPainter_.emplace(image_.get());
    painter_ = &*ownPainter_;
    SetFont(fontDesc_);
}

TQtSurface::~TQtSurface()
{
    if (ownPainter_)
        ownPainter_->end();
}

void TQtSurface::SetPen(const TSurfacePen& pen)
{
    if (pen.Style == psClear) {
        painter_->setPen(Qt::NoPen);
        return;
    }
    QPen p(ToQColor(pen.Color));
    p.setWidth(std::max(pen.Width, 1));
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    if (pen.SmallDots) {
        p.setWidth(1);
        p.setCosmetic(true);
        p.setDashPattern({1.0, 1.0});
    } else {
        switch (pen.Style) {
        case psDash:
            p.setStyle(Qt::DashLine);
            break;
        case psDot:
            p.setStyle(Qt::DotLine);
            break;
        case psDashDot:
            p.setStyle(Qt::DashDotLine);
            break;
        case psDashDotDot:
            p.setStyle(Qt::DashDotDotLine);
            break;
        default:
            p.setStyle(Qt::SolidLine);
            break;
        }
    }
    painter_->setPen(p);
}

void TQtSurface::SetBrush(const TSurfaceBrush& brush)
{
    brushClear_ = brush.Style == bsClear;
    Qt::BrushStyle style = Qt::SolidPattern;
    switch (brush.Style) {
    case bsClear:
        style = Qt::NoBrush;
        break;
    case bsHorizontal:
        style = Qt::HorPattern;
        break;
    case bsVertical:
        style = Qt::VerPattern;
        break;
    case bsFDiagonal:
        style = Qt::FDiagPattern;
        break;
    case bsBDiagonal:
        style = Qt::BDiagPattern;
        break;
    case bsCross:
        style = Qt::CrossPattern;
        break;
    case bsDiagCross:
        style = Qt::DiagCrossPattern;
        break;
    default:
        break;
    }
    brush_ = QBrush(ToQColor(brush.Color), style);
    ApplyBrush();
}

void TQtSurface::ApplyBrush()
{
    painter_->setBrush(brush_);
}

void TQtSurface::SetFont(const TSurfaceFont& font)
{
    if (metrics_ && font.Name == fontDesc_.Name && font.Size == fontDesc_.Size
        && font.PixelHeight == fontDesc_.PixelHeight && font.Style == fontDesc_.Style) {
        fontDesc_.Color = font.Color;
        fontColour_ = ToQColor(font.Color);
        return;
    }
    fontDesc_ = font;
    QFont f(QString::fromStdString(font.Name));
    int pixels = font.PixelHeight > 0 ? font.PixelHeight : MulDiv(font.Size, PixelsPerInch(), 72);
    f.setPixelSize(std::max(pixels, 1));
    f.setBold(font.Style & fsBold);
    f.setItalic(font.Style & fsItalic);
    f.setUnderline(font.Style & fsUnderline);
    f.setStrikeOut(font.Style & fsStrikeOut);
    font_ = f;
    metrics_.emplace(font_);
    fontColour_ = ToQColor(font.Color);
    painter_->setFont(font_);
}

void TQtSurface::SetBackColor(TColor colour)
{
    backColour_ = ToQColor(colour);
    painter_->setBackground(QBrush(backColour_));
}

void TQtSurface::SetBackMode(TBackMode mode)
{
    backMode_ = mode;
    painter_->setBackgroundMode(mode == bmOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
}

void TQtSurface::Polygon(std::span<const TPoint> points)
{
    QPolygon poly;
    poly.reserve(static_cast<qsizetype>(points.size()));
    for (const TPoint& p : points)
        poly << QPoint(p.X, p.Y);
    painter_->drawPolygon(poly);
}

void TQtSurface::Rectangle(const TRect& r)
{
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    if (!brushClear_)
        painter_->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), brush_);
    if (painter_->pen().style() != Qt::NoPen) {
        painter_->setBrush(Qt::NoBrush);
        painter_->drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
        ApplyBrush();
    }
}

void TQtSurface::FillRect(const TRect& r)
{
    if (brushClear_ || r.Width() <= 0 || r.Height() <= 0)
        return;
    painter_->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), brush_);
}

void TQtSurface::Line(int x0, int y0, int x1, int y1)
{
    painter_->drawLine(x0, y0, x1, y1);
}

void TQtSurface::TextOut(int x, int y, std::string_view text)
{
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    int w = metrics_->horizontalAdvance(s);
    if (align_ == taCenter)
        x -= w / 2;
    else if (align_ == taRight)
        x -= w;
    if (backMode_ == bmOpaque)
        painter_->fillRect(QRect(x, y, w, metrics_->height()), backColour_);
    QPen saved = painter_->pen();
    painter_->setPen(fontColour_);
    painter_->drawText(x, y + metrics_->ascent(), s);
    painter_->setPen(saved);
}

int TQtSurface::TextWidth(std::string_view text)
{
    return metrics_->horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

int TQtSurface::TextHeight(std::string_view)
{
    return metrics_->height();
}

TColor TQtSurface::SystemColour(TColor colour) const
{
    if (!IsSystemColour(colour))
        return colour;
    QPalette palette = QGuiApplication::instance() ? QGuiApplication::palette() : QPalette();
    QColor c;
    switch (colour) {
    case clBtnHighlight:
        c = palette.color(QPalette::Light);
        break;
    case clBtnShadow:
        c = palette.color(QPalette::Dark);
        break;
    default:
        c = palette.color(QPalette::Button);
        break;
    }
    return RGBColour(c.red(), c.green(), c.blue());
}

int TQtSurface::PixelsPerInch() const
{
    if (QGuiApplication::instance())
        if (QScreen* screen = QGuiApplication::primaryScreen())
            return static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
    return 96;
}

TScreenMetrics TQtSurface::ScreenMetrics() const
{
    TScreenMetrics m;
    if (QGuiApplication::instance()) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            m.WidthPixels = screen->size().width();
            m.HeightPixels = screen->size().height();
            m.WidthMm = static_cast<int>(std::lround(screen->physicalSize().width()));
            m.HeightMm = static_cast<int>(std::lround(screen->physicalSize().height()));
        }
    }
    return m;
}

std::unique_ptr<TDrawingSurface> TQtSurface::CreateBuffer(int width, int height, bool)
{
    return std::make_unique<TQtSurface>(width, height);
}

void TQtSurface::DrawBuffer(TDrawingSurface& buffer, int x, int y)
{
    auto* qt = dynamic_cast<TQtSurface*>(&buffer);
    if (qt && qt->image_)
        painter_->drawImage(x, y, *qt->image_);
}
