// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/firstshowminimised.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <xcb/xcb.h>

namespace {
// WM_HINTS as ICCCM lays it out: flags, input, initial_state, then six fields this leaves alone.
constexpr uint32_t kStateHint = 1u << 1;
constexpr uint32_t kIconicState = 3;
constexpr int kHintFields = 9;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

void askIconic(xcb_connection_t* c, xcb_window_t window) {
    uint32_t hints[kHintFields] = {};
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kHintFields), nullptr);
    if (reply) {
        const int length = std::min(xcb_get_property_value_length(reply), int(sizeof(hints)));
        if (reply->format == 32 && length > 0)
            std::memcpy(hints, xcb_get_property_value(reply), size_t(length));
        std::free(reply);
    }
    hints[0] |= kStateHint;
    hints[2] = kIconicState;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        kHintFields, hints);
    // ICCCM 4.1.4: the request to iconify a mapped window.
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(c, "WM_CHANGE_STATE");
    event.data.data32[0] = kIconicState;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}
} // namespace

void showMinimisedFromTheStart(QWidget* window) {
    if (!window)
        return;
    QNativeInterface::QX11Application* x11 = nullptr;
    xcb_window_t id = XCB_NONE;
    if (!window->isVisible() && QGuiApplication::platformName() == QLatin1String("xcb")) {
        x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        id = xcb_window_t(window->winId());
    }
    window->showMinimized();
    if (x11) {
        // Qt asks for the minimised state before the map, which window managers ignore, and maps
        // with a normal state: the request is made again now that the map is on its way, ahead
        // of the window's first paint, so it goes to the task bar before anything is drawn.
        askIconic(x11->connection(), id);
    }
}
