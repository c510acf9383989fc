// TAnimate: the busy animation, an 8-frame looping clip that keeps moving
// while the UI thread is busy.
//
// Protocol: Play() starts the loop, Stop() stops it and returns to the first
// frame; show and hide as any widget. On the xcb platform the widget owns a
// native X window into which TXcbFramePlayer copies frames from its own
// thread; the application must set Qt::AA_DontCreateNativeWidgetSiblings
// before the QApplication exists, or every sibling becomes native too. On
// other platforms (offscreen, Wayland) a timer advances the frames, which
// pauses while the UI thread is busy. While the clip plays on the xcb path,
// Escape reaches the escape handler even when the UI thread is busy.
#pragma once

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/XcbFramePlayer.h"

class TAnimate : public QWidget {
    Q_OBJECT
public:
    explicit TAnimate(QWidget* parent);
    ~TAnimate() override;

    void Play();
    void Stop();
    bool Active() const { return active_; }
    // Index of the frame on screen, 0..7.
    int Frame() const;
    // True when frames come from the helper thread, not from the timer.
    bool ThreadDriven() const { return player_ != nullptr; }
    // Sends Qt's pending X requests (the map of this window) to the server,
    // for a caller about to block the UI thread.
    void FlushDisplay();
    // Called on the helper thread when Escape (without Alt) is pressed in
    // this widget's window while the clip plays; set before the first show.
    void SetEscapeHandler(std::function<void()> onEscape) { onEscape_ = std::move(onEscape); }
    // Joins the helper thread now, for an owner about to destroy what the
    // escape handler uses; showing the widget again restarts it.
    void StopThread();

    QPaintEngine* paintEngine() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BindWindow();
    void ExposeParent(const QRect& area);
    void TimerTick();

    std::vector<QImage> frames_;
    std::unique_ptr<TXcbFramePlayer> player_;
    QTimer timer_;
    bool active_ = false;
    int timerFrame_ = 0;
    QPointer<QObject> watchedWindow_;
    std::function<void()> onEscape_;
};
