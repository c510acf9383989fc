// The busy animation widget: native X window plus helper thread, or a timer.
#include "app/BusyAnimation.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QMoveEvent>
#include <QPainter>
#include <QPlatformSurfaceEvent>
#include <QWindow>
#include <chrono>

#include <xcb/xcb.h>

#include "app/AnimationFrames.h"

namespace {

constexpr std::chrono::milliseconds kFramePeriod{90};

TFramePixels ToPixels(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    TFramePixels f;
    f.Width = rgb.width();
    f.Height = rgb.height();
    f.Pixels.reserve(static_cast<size_t>(f.Width) * static_cast<size_t>(f.Height));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        f.Pixels.insert(f.Pixels.end(), line, line + rgb.width());
    }
    return f;
}

}  // namespace

TAnimate::TAnimate(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Animate"));
    resize(48, 45);
    frames_ = AnimationFrames(48, 45, palette().color(QPalette::Button));
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        std::vector<TFramePixels> pixels;
        for (const QImage& img : frames_)
            pixels.push_back(ToPixels(img));
        player_ = std::make_unique<TXcbFramePlayer>(std::move(pixels), kFramePeriod);
        setAttribute(Qt::WA_NativeWindow);
        setAttribute(Qt::WA_PaintOnScreen);
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_OpaquePaintEvent);
    } else {
        timer_.setInterval(kFramePeriod);
        connect(&timer_, &QTimer::timeout, this, &TAnimate::TimerTick);
    }
}

TAnimate::~TAnimate()
{
    // The thread must stop drawing before the X window goes away.
    if (player_)
        player_->Unbind();
}

void TAnimate::StopThread()
{
    if (player_)
        player_->Unbind();
}

void TAnimate::Play()
{
    active_ = true;
    if (player_) {
        if (isVisible())
            BindWindow();
        player_->Play();
    } else {
        timer_.start();
    }
}

void TAnimate::Stop()
{
    active_ = false;
    if (player_) {
        player_->Stop();
    } else {
        timer_.stop();
        timerFrame_ = 0;
        update();
    }
}

int TAnimate::Frame() const
{
    return player_ ? player_->Frame() : timerFrame_;
}

QPaintEngine* TAnimate::paintEngine() const
{
    return player_ ? nullptr : QWidget::paintEngine();
}

void TAnimate::paintEvent(QPaintEvent*)
{
    if (player_) {
        player_->Redraw();
        return;
    }
    QPainter p(this);
    p.drawImage(0, 0, frames_[static_cast<size_t>(timerFrame_)]);
}

void TAnimate::TimerTick()
{
    timerFrame_ = (timerFrame_ + 1) % static_cast<int>(frames_.size());
    update();
}

void TAnimate::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (player_) {
        BindWindow();
        player_->SetVisible(true);
    }
}

void TAnimate::hideEvent(QHideEvent* event)
{
    if (player_)
        player_->SetVisible(false);
    ExposeParent(geometry());
    QWidget::hideEvent(event);
}

void TAnimate::moveEvent(QMoveEvent* event)
{
    ExposeParent(QRect(event->oldPos(), size()));
    QWidget::moveEvent(event);
}

bool TAnimate::event(QEvent* event)
{
    if (player_) {
        if (event->type() == QEvent::WinIdChange) {
            player_->Unbind();
            if (isVisible())
                BindWindow();
        } else if (event->type() == QEvent::ParentAboutToChange) {
            player_->Unbind();
            ExposeParent(geometry());
        }
    }
    return QWidget::event(event);
}

bool TAnimate::eventFilter(QObject* watched, QEvent* event)
{
    if (player_ && watched == watchedWindow_ && event->type() == QEvent::PlatformSurface) {
        const auto* e = static_cast<QPlatformSurfaceEvent*>(event);
        if (e->surfaceEventType() == QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
            player_->Unbind();
    }
    return QWidget::eventFilter(watched, event);
}

void TAnimate::BindWindow()
{
    const auto id = static_cast<uint32_t>(winId());
    if (QWindow* w = windowHandle(); w && w != watchedWindow_) {
        if (watchedWindow_)
            watchedWindow_->removeEventFilter(this);
        w->installEventFilter(this);
        watchedWindow_ = w;
    }
    if (onEscape_)
        player_->SetEscapeWatch(static_cast<uint32_t>(window()->winId()), onEscape_);
    player_->Bind(id);
}

void TAnimate::FlushDisplay()
{
    if (!player_)
        return;
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
        xcb_flush(x11->connection());
}

void TAnimate::ExposeParent(const QRect& area)
{
    if (QWidget* p = parentWidget())
        p->update(area);
}
