// Looks at screenshots for the end-to-end test, and asks a window to close.
//
//   e2e_probe pie PNG X Y W H        colours around the pie in the rectangle,
//                                    counter-clockwise: "red:0.40 green:0.25 ..."
//   e2e_probe count PNG X Y W H COLOUR pixels matching COLOUR: "red" (a strong
//                                    red), "green" (a strong green), or
//                                    RRGGBB (that exact colour)
//   e2e_probe colours PNG X Y W H    number of distinct colours
//   e2e_probe close WINDOW           sends WM_DELETE_WINDOW, as a close button
#include <QColor>
#include <QImage>
#include <QString>
#include <xcb/xcb.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct TPaletteColour {
    const char* Name;
    QRgb Rgb;
};

// The chart palette as screen colours (the program holds them as 0x00BBGGRR).
constexpr std::array<TPaletteColour, 16> kPalette = {{
    {"red", 0xFF0000},
    {"green", 0x008000},
    {"yellow", 0xFFFF00},
    {"blue", 0x0000FF},
    {"white", 0xFFFFFF},
    {"gray", 0x808080},
    {"fuchsia", 0xFF00FF},
    {"teal", 0x008080},
    {"navy", 0x000080},
    {"maroon", 0x800000},
    {"lime", 0x00FF00},
    {"olive", 0x808000},
    {"purple", 0x800080},
    {"silver", 0xC0C0C0},
    {"aqua", 0x00FFFF},
    {"black", 0x000000},
}};

int PaletteIndex(QRgb pixel)
{
    const QRgb rgb = pixel & 0xFFFFFF;
    for (size_t i = 0; i < kPalette.size(); ++i)
        if (kPalette[i].Rgb == rgb)
            return static_cast<int>(i);
    return -1;
}

struct TRect {
    int X, Y, W, H;
};

bool Load(const char* path, const TRect& r, QImage& out)
{
    QImage image(QString::fromLocal8Bit(path));
    if (image.isNull()) {
        std::fprintf(stderr, "e2e_probe: cannot read %s\n", path);
        return false;
    }
    out = image.copy(r.X, r.Y, r.W, r.H).convertToFormat(QImage::Format_RGB32);
    return true;
}

// The pie's face: the bounding box of large one-colour regions of palette
// colours (the legend's colour boxes and the marks are small), then the
// colours met on an ellipse at 60 % of its radii.
int Pie(const QImage& img)
{
    const int w = img.width(), h = img.height();
    std::vector<int> label(static_cast<size_t>(w * h), 0);
    int minX = w, minY = h, maxX = -1, maxY = -1;
    int next = 0;
    std::vector<int> stack;
    for (int y0 = 0; y0 < h; ++y0) {
        for (int x0 = 0; x0 < w; ++x0) {
            const int colour = PaletteIndex(img.pixel(x0, y0));
            // White and black also draw the background, frames and text.
            if (colour < 0 || colour == 4 || colour == 15 || label[static_cast<size_t>(y0 * w + x0)])
                continue;
            ++next;
            int area = 0, bx0 = x0, by0 = y0, bx1 = x0, by1 = y0;
            stack.assign(1, y0 * w + x0);
            label[static_cast<size_t>(y0 * w + x0)] = next;
            while (!stack.empty()) {
                const int p = stack.back();
                stack.pop_back();
                const int x = p % w, y = p / w;
                ++area;
                bx0 = std::min(bx0, x), bx1 = std::max(bx1, x);
                by0 = std::min(by0, y), by1 = std::max(by1, y);
                const int around[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
                for (const auto& n : around) {
                    if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h)
                        continue;
                    const size_t q = static_cast<size_t>(n[1] * w + n[0]);
                    if (!label[q] && PaletteIndex(img.pixel(n[0], n[1])) == colour) {
                        label[q] = next;
                        stack.push_back(n[1] * w + n[0]);
                    }
                }
            }
            if (area >= 300) {
                minX = std::min(minX, bx0), maxX = std::max(maxX, bx1);
                minY = std::min(minY, by0), maxY = std::max(maxY, by1);
            }
        }
    }
    if (maxX < 0) {
        std::printf("none\n");
        return 0;
    }
    const double cx = (minX + maxX) / 2.0, cy = (minY + maxY) / 2.0;
    const double rx = (maxX - minX) / 2.0 * 0.6, ry = (maxY - minY) / 2.0 * 0.6;
    constexpr int kSteps = 1440;
    std::vector<int> seen(kSteps);
    for (int i = 0; i < kSteps; ++i) {
        const double a = 2 * M_PI * i / kSteps;
        const int x = static_cast<int>(std::lround(cx + rx * std::cos(a)));
        const int y = static_cast<int>(std::lround(cy - ry * std::sin(a)));
        seen[static_cast<size_t>(i)] = PaletteIndex(img.pixel(x, y));
    }
    // Start at a change of colour so that no run is split at the wrap.
    int start = 0;
    while (start < kSteps && seen[static_cast<size_t>(start)] == seen[kSteps - 1])
        ++start;
    std::string out;
    for (int i = 0; i < kSteps;) {
        const int colour = seen[static_cast<size_t>((start + i) % kSteps)];
        int run = 0;
        while (i < kSteps && seen[static_cast<size_t>((start + i) % kSteps)] == colour)
            ++i, ++run;
        // Edges, and the black lines between slices (a black 16th slice
        // would be missed; the test's pies have fewer).
        if (colour < 0 || colour == 15 || run < 3)
            continue;
        char part[48];
        std::snprintf(part, sizeof part, "%s%s:%.3f", out.empty() ? "" : " ",
                      kPalette[static_cast<size_t>(colour)].Name, static_cast<double>(run) / kSteps);
        out += part;
    }
    std::printf("%s\n", out.empty() ? "none" : out.c_str());
    return 0;
}

bool Matches(QRgb p, const std::string& colour)
{
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    if (colour == "red")
        return r > 180 && g < 90 && b < 90;
    if (colour == "green")
        return g > 150 && r < 120 && b < 120;
    return (p & 0xFFFFFF) == static_cast<QRgb>(std::strtoul(colour.c_str(), nullptr, 16));
}

int Close(const char* window)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "e2e_probe: no X display\n");
        xcb_disconnect(c);
        return 1;
    }
    auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(r);
        return a;
    };
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = static_cast<xcb_window_t>(std::strtoul(window, nullptr, 0));
    ev.type = atom("WM_PROTOCOLS");
    ev.data.data32[0] = atom("WM_DELETE_WINDOW");
    ev.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, ev.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
    xcb_flush(c);
    xcb_disconnect(c);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "close" && argc == 3)
        return Close(argv[2]);
    if (argc < 7 || (cmd != "pie" && cmd != "count" && cmd != "colours")) {
        std::fprintf(stderr, "usage: e2e_probe pie|count|colours PNG X Y W H [COLOUR] | close WINDOW\n");
        return 2;
    }
    const TRect r{std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6])};
    QImage img;
    if (!Load(argv[2], r, img))
        return 1;
    if (cmd == "pie")
        return Pie(img);
    if (cmd == "count") {
        if (argc != 8)
            return 2;
        long n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += Matches(img.pixel(x, y), argv[7]);
        std::printf("%ld\n", n);
        return 0;
    }
    std::set<QRgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            colours.insert(img.pixel(x, y) & 0xFFFFFF);
    std::printf("%zu\n", colours.size());
    return 0;
}
