// The frame-copying thread: its own xcb connection, one copy-area per frame,
// key presses watched while playing.
#include "app/XcbFramePlayer.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr uint32_t kEscapeKeysym = 0xff1b;

struct TConnectionCloser {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
using TConnection = std::unique_ptr<xcb_connection_t, TConnectionCloser>;

template <class T> using TReply = std::unique_ptr<T, decltype(&std::free)>;

// Bits per pixel of the server's image format for depth, 0 when unknown.
int BitsPerPixel(const xcb_setup_t* setup, uint8_t depth)
{
    xcb_format_iterator_t it = xcb_setup_pixmap_formats_iterator(setup);
    for (; it.rem; xcb_format_next(&it))
        if (it.data->depth == depth)
            return it.data->bits_per_pixel;
    return 0;
}

// Keycodes that carry the Escape keysym in any column.
std::vector<xcb_keycode_t> EscapeKeycodes(xcb_connection_t* c)
{
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    TReply<xcb_get_keyboard_mapping_reply_t> map(
        xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<uint8_t>(count)), nullptr),
        &std::free);
    std::vector<xcb_keycode_t> codes;
    if (!map || map->keysyms_per_keycode == 0)
        return codes;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
    const int per = map->keysyms_per_keycode;
    for (int k = 0; k < count; ++k)
        for (int j = 0; j < per; ++j)
            if (syms[k * per + j] == kEscapeKeysym)
                codes.push_back(static_cast<xcb_keycode_t>(setup->min_keycode + k));
    return codes;
}

// Frame pixels in the server's byte order, 32 bits each.
std::vector<uint8_t> PackFrame(const TFramePixels& f, bool msbFirst)
{
    std::vector<uint8_t> data(f.Pixels.size() * 4);
    for (size_t i = 0; i < f.Pixels.size(); ++i) {
        const uint32_t px = f.Pixels[i] | 0xff000000u;
        for (int b = 0; b < 4; ++b)
            data[i * 4 + static_cast<size_t>(b)] = static_cast<uint8_t>(px
                                                                        >> (msbFirst ? 24 - 8 * b : 8 * b));
    }
    return data;
}

}  // namespace

TXcbFramePlayer::TXcbFramePlayer(std::vector<TFramePixels> frames, std::chrono::milliseconds period)
    : frames_(std::move(frames)), period_(period)
{
}

TXcbFramePlayer::~TXcbFramePlayer()
{
    Unbind();
}

void TXcbFramePlayer::SetEscapeWatch(uint32_t topLevel, std::function<void()> onEscape)
{
    topLevel_ = topLevel;
    onEscape_ = std::move(onEscape);
}

void TXcbFramePlayer::Bind(uint32_t window)
{
    if (window == window_ && thread_.joinable())
        return;
    Unbind();
    if (window == 0 || frames_.empty())
        return;
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0)
        return;
    {
        std::lock_guard lock(mutex_);
        quit_ = false;
        redraw_ = true;
    }
    window_ = window;
    thread_ = std::thread([this, window, top = topLevel_, fd = wakeFd_] { Run(window, top, fd); });
}

void TXcbFramePlayer::Unbind()
{
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        Wake();
        thread_.join();
    }
    if (wakeFd_ >= 0)
        close(wakeFd_);
    wakeFd_ = -1;
    window_ = 0;
}

void TXcbFramePlayer::Wake()
{
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(wakeFd_, &one, sizeof one);
    }
}

void TXcbFramePlayer::SetVisible(bool visible)
{
    {
        std::lock_guard lock(mutex_);
        visible_ = visible;
        redraw_ = redraw_ || visible;
    }
    Wake();
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
    Wake();
}

void TXcbFramePlayer::Stop()
{
    {
        std::lock_guard lock(mutex_);
        playing_ = false;
        shown_ = 0;
        redraw_ = true;
    }
    Wake();
}

void TXcbFramePlayer::Redraw()
{
    {
        std::lock_guard lock(mutex_);
        redraw_ = true;
    }
    Wake();
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

void TXcbFramePlayer::Run(uint32_t window, uint32_t topLevel, int wakeFd)
{
    TConnection conn(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(conn.get()))
        return;
    xcb_connection_t* c = conn.get();

    TReply<xcb_get_geometry_reply_t> geo(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr),
                                         &std::free);
    if (!geo)
        return;
    const xcb_setup_t* setup = xcb_get_setup(c);
    // Frames are packed as 32-bit pixels in the server's byte order.
    if (BitsPerPixel(setup, geo->depth) != 32 || (geo->depth != 24 && geo->depth != 32))
        return;
    const bool msbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;

    const std::vector<xcb_keycode_t> escapeCodes = onEscape_ ? EscapeKeycodes(c)
                                                             : std::vector<xcb_keycode_t>{};
    if (!escapeCodes.empty()) {
        const uint32_t keys = XCB_EVENT_MASK_KEY_PRESS;
        for (uint32_t w : {window, topLevel})
            if (w)
                xcb_change_window_attributes(c, w, XCB_CW_EVENT_MASK, &keys);
    }

    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, window, 0, nullptr);
    std::vector<xcb_pixmap_t> pixmaps;
    for (const TFramePixels& f : frames_) {
        const xcb_pixmap_t pm = xcb_generate_id(c);
        xcb_create_pixmap(c, geo->depth, pm, window, static_cast<uint16_t>(f.Width),
                          static_cast<uint16_t>(f.Height));
        const std::vector<uint8_t> data = PackFrame(f, msbFirst);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pm, gc, static_cast<uint16_t>(f.Width),
                      static_cast<uint16_t>(f.Height), 0, 0, 0, geo->depth,
                      static_cast<uint32_t>(data.size()), data.data());
        pixmaps.push_back(pm);
    }
    xcb_flush(c);

    pollfd fds[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    for (;;) {
        int timeoutMs = -1;
        int frame = -1;
        bool playing = false;
        {
            std::lock_guard lock(mutex_);
            if (quit_)
                break;
            playing = playing_;
            const auto now = std::chrono::steady_clock::now();
            const bool tick = visible_ && playing_ && now >= next_;
            if (tick) {
                if (advance_)
                    shown_ = (shown_ + 1) % static_cast<int>(pixmaps.size());
                advance_ = true;
                next_ = now + period_;
            }
            if (visible_ && (tick || redraw_)) {
                redraw_ = false;
                frame = shown_;
            }
            if (visible_ && playing_) {
                const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next_ - now);
                timeoutMs = static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
            }
        }
        if (frame >= 0) {
            const TFramePixels& f = frames_[static_cast<size_t>(frame)];
            xcb_copy_area(c, pixmaps[static_cast<size_t>(frame)], window, gc, 0, 0, 0, 0,
                          static_cast<uint16_t>(f.Width), static_cast<uint16_t>(f.Height));
            xcb_flush(c);
            continue;  // recompute the wait after drawing
        }
        poll(fds, 2, timeoutMs);
        if (fds[1].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = read(wakeFd, &count, sizeof count);
        }
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            if ((e->response_type & 0x7f) == XCB_KEY_PRESS && playing) {
                const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(e);
                const bool escape = std::find(escapeCodes.begin(), escapeCodes.end(), key->detail)
                    != escapeCodes.end();
                if (escape && !(key->state & XCB_MOD_MASK_1))
                    onEscape_();
            }
            std::free(e);
        }
        if (xcb_connection_has_error(c))
            break;
    }
    for (xcb_pixmap_t pm : pixmaps)
        xcb_free_pixmap(c, pm);
    xcb_free_gc(c, gc);
    xcb_flush(c);
}
