// Plays pre-rendered frames into one X window from a thread of its own, so
// the clip keeps moving while the UI thread is busy; while playing, the same
// thread notices Escape, which the busy UI thread cannot.
//
// Protocol: all member calls come from the UI thread. SetEscapeWatch, when
// used, comes before Bind. Bind(window) starts the helper thread for that X
// window (joining any earlier one); Unbind() joins it and must run before the
// window is destroyed, since a destroyed window's id may be reused by another
// client. SetVisible/Play/Stop/Redraw only change shared state and wake the
// thread. The thread opens its own xcb connection (DISPLAY), uploads the
// frames as server pixmaps once, then copies one frame per period while
// visible and playing, and idles otherwise. It also selects key presses on
// the animation window and the watched top-level window (event selections are
// per client, so Qt's own are untouched); a press of Escape without Alt while
// playing calls the escape handler on the helper thread. If the display or
// the window's pixel format cannot be used, the thread ends and draws nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// One frame: width x height pixels, 0xAARRGGBB, rows top to bottom.
struct TFramePixels {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
};

class TXcbFramePlayer {
public:
    TXcbFramePlayer(std::vector<TFramePixels> frames, std::chrono::milliseconds period);
    ~TXcbFramePlayer();
    TXcbFramePlayer(const TXcbFramePlayer&) = delete;
    TXcbFramePlayer& operator=(const TXcbFramePlayer&) = delete;

    // topLevel: the X window holding the keyboard focus (0: none); onEscape
    // runs on the helper thread and must be safe there (e.g. _exit).
    void SetEscapeWatch(uint32_t topLevel, std::function<void()> onEscape);
    void Bind(uint32_t window);
    void Unbind();
    uint32_t BoundWindow() const { return window_; }

    void SetVisible(bool visible);
    void Play();
    // Stops and returns to the first frame.
    void Stop();
    // Copies the current frame again (after an expose).
    void Redraw();
    int Frame() const;
    bool Playing() const;

private:
    void Run(uint32_t window, uint32_t topLevel, int wakeFd);
    void Wake();

    const std::vector<TFramePixels> frames_;
    const std::chrono::milliseconds period_;
    uint32_t window_ = 0;
    uint32_t topLevel_ = 0;
    std::function<void()> onEscape_;
    std::thread thread_;
    int wakeFd_ = -1;  // eventfd; the thread's poll wakes on it

    mutable std::mutex mutex_;
    bool quit_ = false;
    bool visible_ = false;
    bool playing_ = false;
    bool redraw_ = false;
    bool advance_ = false;  // the next tick moves on to the next frame
    int shown_ = 0;
    std::chrono::steady_clock::time_point next_{};
};
