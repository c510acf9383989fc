// The frame-copying thread: its own xcb connection, one copy-area per frame.
#include "app/XcbFramePlayer.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

struct TConnectionCloser {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
using TConnection = std::unique_ptr<xcb_connection_t, TConnectionCloser>;

template <class T>
using TReply = std::unique_ptr<T, decltype(&std::free)>;

// Bits per pixel of the server's image format for depth, 0 when unknown.
int BitsPerPixel(const xcb_setup_t* setup, uint8_t depth)
{
    xcb_format_iterator_t it = xcb_setup_pixmap_formats_iterator(setup);
    for (; it.rem; xcb_format_next(&it))
        if (it.data->depth == depth)
            return it.data->bits_per_pixel;
    return 0;
}

void DropQueuedEvents(xcb_connection_t* c)
{
    while (xcb_generic_event_t* e = xcb_poll_for_event(c))
        std::free(e);
}

}  // namespace

TXcbFramePlayer::TXcbFramePlayer(std::vector<TFramePixels> frames, std::chrono::milliseconds period)
    : frames_(std::move(frames)), period_(period)
{
}

TXcbFramePlayer::~TXcbFramePlayer() { Unbind(); }

void TXcbFramePlayer::Bind(uint32_t window)
{
    if (window == window_ && thread_.joinable())
        return;
    Unbind();
    if (window == 0 || frames_.empty())
        return;
    {
        std::lock_guard lock(mutex_);
        quit_ = false;
        redraw_ = true;
    }
    window_ = window;
    thread_ = std::thread([this, window] { Run(window); });
}

void TXcbFramePlayer::Unbind()
{
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    window_ = 0;
}

void TXcbFramePlayer::SetVisible(bool visible)
{
    {
        std::lock_guard lock(mutex_);
        visible_ = visible;
        redraw_ = redraw_ || visible;
    }
    wake_.notify_all();
}

void TXcbFramePlayer::Play()
{
    {
        std::lock_guard lock(mutex_);
        if (playing_)
            return;
        playing_ = true;
        advance_ = false;
        next_ = std::chrono::steady_clock::now();
    }
    wake_.notify_all();
}

void TXcbFramePlayer::Stop()
{
    {
        std::lock_guard lock(mutex_);
        playing_ = false;
        shown_ = 0;
        redraw_ = true;
    }
    wake_.notify_all();
}

void TXcbFramePlayer::Redraw()
{
    {
        std::lock_guard lock(mutex_);
        redraw_ = true;
    }
    wake_.notify_all();
}

int TXcbFramePlayer::Frame() const
{
    std::lock_guard lock(mutex_);
    return shown_;
}

bool TXcbFramePlayer::Playing() const
{
    std::lock_guard lock(mutex_);
    return playing_;
}

void TXcbFramePlayer::Run(uint32_t window)
{
    TConnection conn(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(conn.get()))
        return;
    xcb_connection_t* c = conn.get();

    TReply<xcb_get_geometry_reply_t> geo(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr), &std::free);
    if (!geo)
        return;
    const xcb_setup_t* setup = xcb_get_setup(c);
    // Frames are packed as 32-bit pixels in the server's byte order.
    if (BitsPerPixel(setup, geo->depth) != 32 || (geo->depth != 24 && geo->depth != 32))
        return;
    const bool msbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;

    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, window, 0, nullptr);
    std::vector<xcb_pixmap_t> pixmaps;
    for (const TFramePixels& f : frames_) {
        const xcb_pixmap_t pm = xcb_generate_id(c);
        xcb_create_pixmap(c, geo->depth, pm, window, static_cast<uint16_t>(f.Width),
                          static_cast<uint16_t>(f.Height));
        std::vector<uint8_t> data(f.Pixels.size() * 4);
        for (size_t i = 0; i < f.Pixels.size(); ++i) {
            const uint32_t px = f.Pixels[i] | 0xff000000u;
            for (int b = 0; b < 4; ++b)
                data[i * 4 + static_cast<size_t>(b)] =
                    static_cast<uint8_t>(px >> (msbFirst ? 24 - 8 * b : 8 * b));
        }
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pm, gc, static_cast<uint16_t>(f.Width),
                      static_cast<uint16_t>(f.Height), 0, 0, 0, geo->depth,
                      static_cast<uint32_t>(data.size()), data.data());
        pixmaps.push_back(pm);
    }
    xcb_flush(c);

    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (!visible_) {
            wake_.wait(lock);
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        const bool tick = playing_ && now >= next_;
        if (!tick && !redraw_) {
            if (playing_)
                wake_.wait_until(lock, next_);
            else
                wake_.wait(lock);
            continue;
        }
        if (tick) {
            if (advance_)
                shown_ = (shown_ + 1) % static_cast<int>(pixmaps.size());
            advance_ = true;
            next_ = now + period_;
        }
        redraw_ = false;
        const size_t frame = static_cast<size_t>(shown_);
        lock.unlock();
        const TFramePixels& f = frames_[frame];
        xcb_copy_area(c, pixmaps[frame], window, gc, 0, 0, 0, 0, static_cast<uint16_t>(f.Width),
                      static_cast<uint16_t>(f.Height));
        xcb_flush(c);
        DropQueuedEvents(c);
        lock.lock();
    }
    lock.unlock();
    for (xcb_pixmap_t pm : pixmaps)
        xcb_free_pixmap(c, pm);
    xcb_free_gc(c, gc);
    xcb_flush(c);
}
