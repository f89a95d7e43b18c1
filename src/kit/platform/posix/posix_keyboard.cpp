// The X11 side of the keyboard: readying the compose table before the first key.
#include "kit_Platform.h"

#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <thread>
#include <xcb/xcb.h>

namespace kit_Platform {

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

// A key of the keyboard that gives no symbol at all, so that pressing it types nothing.
xcb_keycode_t keyWithoutSymbol(xcb_connection_t *c)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const Reply<xcb_get_keyboard_mapping_reply_t> map(
        xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, setup->min_keycode, uint8_t(count)), nullptr),
        &std::free);
    if (!map || map->keysyms_per_keycode == 0)
        return 0;
    const xcb_keysym_t *symbols = xcb_get_keyboard_mapping_keysyms(map.get());
    for (int key = count - 1; key >= 0; --key) {
        const xcb_keysym_t *first = symbols + key * map->keysyms_per_keycode;
        if (std::all_of(first, first + map->keysyms_per_keycode,
                        [](xcb_keysym_t s) { return s == 0; }))
            return xcb_keycode_t(setup->min_keycode + key);
    }
    return 0;
}

// The server's time now, read from a property change on a window of the connection's own.
xcb_timestamp_t serverTime(xcb_connection_t *c, xcb_window_t root)
{
    const xcb_window_t probe = xcb_generate_id(c);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    xcb_change_property(c, XCB_PROP_MODE_APPEND, probe, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(c);
    xcb_timestamp_t time = XCB_CURRENT_TIME;
    while (const Reply<xcb_generic_event_t> event{xcb_wait_for_event(c), &std::free}) {
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            time = reinterpret_cast<const xcb_property_notify_event_t *>(event.get())->time;
            break;
        }
    }
    xcb_destroy_window(c, probe);
    return time;
}

// Sends the window a press and release of a key that types nothing, at the server's time.
void sendSilentKey(xcb_window_t window)
{
    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(nullptr, &screenNumber);
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> owned(c, &xcb_disconnect);
    if (xcb_connection_has_error(c))
        return;
    xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screen.rem; ++i)
        xcb_screen_next(&screen);
    const xcb_keycode_t key = keyWithoutSymbol(c);
    if (!screen.rem || key == 0)
        return;
    // A real time: Qt records it as the user's last action in the window, where 0 would tell
    // the window manager that the user never used it.
    const xcb_timestamp_t time = serverTime(c, screen.data->root);
    if (time == XCB_CURRENT_TIME)
        return;
    for (const uint8_t type : {uint8_t(XCB_KEY_PRESS), uint8_t(XCB_KEY_RELEASE)}) {
        xcb_key_press_event_t event{};
        event.response_type = type;
        event.detail = key;
        event.time = time;
        event.root = screen.data->root;
        event.event = window;
        event.same_screen = 1;
        xcb_send_event(c, false, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&event));
    }
    // A round trip before the connection closes: a server that sees the end of a connection may
    // drop what it had not yet handled of it.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

} // namespace

// Qt's compose support reads the compose table (half a megabyte of text) at the first key
// pressed, so the user's first key waited for it. A key that types nothing, sent to the window
// once it has the keyboard, makes Qt read it then. The key is sent from a connection and a
// thread of their own: nothing of Qt's is touched there, and the window's thread never waits.
void warmUpKeyInput(QWindow *window)
{
    if (!qGuiApp || !qGuiApp->nativeInterface<QNativeInterface::QX11Application>() || !window ||
        !window->handle())
        return;
    std::thread(sendSilentKey, xcb_window_t(window->winId())).detach();
}

} // namespace kit_Platform
