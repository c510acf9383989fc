// Plays pre-rendered frames into one X window from a thread of its own, so
// the clip keeps moving while the UI thread is busy.
//
// Protocol: all member calls come from the UI thread. Bind(window) starts the
// helper thread for that X window (joining any earlier one); Unbind() joins it
// and must run before the window is destroyed, since a destroyed window's id
// may be reused by another client. SetVisible/Play/Stop/Redraw only change
// shared state and wake the thread. The thread opens its own xcb connection
// (DISPLAY), uploads the frames as server pixmaps once, then copies one frame
// per period while visible and playing, and idles otherwise. If the display
// or the window's pixel format cannot be used, the thread ends and draws
// nothing.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
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
    void Run(uint32_t window);

    const std::vector<TFramePixels> frames_;
    const std::chrono::milliseconds period_;
    uint32_t window_ = 0;
    std::thread thread_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;
    bool visible_ = false;
    bool playing_ = false;
    bool redraw_ = false;
    bool advance_ = false;  // the next tick moves on to the next frame
    int shown_ = 0;
    std::chrono::steady_clock::time_point next_{};
};
