// Covers part of a window again and again and times how long the window takes to paint the
// uncovered part: rangeur-paint-probe WINDOW_ID. Ends when the window goes away and prints the
// number of probes, the longest wait and the median, in milliseconds.
//
// No compositor runs under Xvfb and Qt gives its windows no background, so the uncovered part
// keeps the cover's colour until the program itself paints it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t coverColour = 0xff00ff;

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

// The colour on screen at a point of the root window; false once the window is gone.
bool pixelAt(xcb_connection_t *c, xcb_window_t root, xcb_window_t window, int x, int y,
             uint32_t *colour)
{
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr),
        &std::free);
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        return false;
    Reply<xcb_get_image_reply_t> image(
        xcb_get_image_reply(
            c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(x), int16_t(y), 1, 1, ~0u),
            nullptr),
        &std::free);
    if (!image || xcb_get_image_data_length(image.get()) < 4)
        return false;
    const uint8_t *d = xcb_get_image_data(image.get());
    *colour = (uint32_t(d[2]) << 16 | uint32_t(d[1]) << 8 | d[0]) & 0xffffff;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: rangeur-paint-probe WINDOW_ID\n");
        return 2;
    }
    const auto target = xcb_window_t(std::strtoul(argv[1], nullptr, 0));
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, target), nullptr), &std::free);
    Reply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, target, screen->root, 0, 0),
                                        nullptr),
        &std::free);
    if (!geometry || !origin) {
        std::fprintf(stderr, "no window %s\n", argv[1]);
        return 1;
    }
    // A cover over the middle of the window, above everything, unseen by window managers.
    const int w = geometry->width / 2, h = geometry->height / 4;
    const int x = geometry->width / 4, y = geometry->height / 2;
    const xcb_window_t cover = xcb_generate_id(c);
    const uint32_t values[] = {coverColour, 1};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, cover, screen->root, int16_t(origin->dst_x + x),
                      int16_t(origin->dst_y + y), uint16_t(w), uint16_t(h), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);

    std::vector<double> waits;
    // Read on the root window: what a window returns of its covered parts is undefined.
    const int px = origin->dst_x + x + w / 2, py = origin->dst_y + y + h / 2;
    for (;;) {
        xcb_map_window(c, cover);
        xcb_flush(c);
        uint32_t colour = 0;
        // The cover is on screen once the window's pixel reads as its colour.
        do {
            if (!pixelAt(c, screen->root, target, px, py, &colour))
                goto gone;
        } while (colour != coverColour);
        xcb_unmap_window(c, cover);
        xcb_flush(c);
        const auto uncovered = Clock::now();
        do {
            if (!pixelAt(c, screen->root, target, px, py, &colour)) {
                // Closed before it painted: unpainted until then.
                waits.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - uncovered).count());
                goto gone;
            }
            if (colour == coverColour)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        } while (colour == coverColour);
        waits.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - uncovered).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
gone:
    xcb_disconnect(c);
    if (waits.empty()) {
        std::printf("probes 0\n");
        return 1;
    }
    std::sort(waits.begin(), waits.end());
    std::printf("probes %zu  longest %.1f ms  median %.1f ms\n", waits.size(), waits.back(),
                waits[waits.size() / 2]);
    return 0;
}
