// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/windowinputgrab.h"

#include <QGuiApplication>
#include <algorithm>
#include <QWindow>
#include <xcb/xcb.h>

namespace {
xcb_connection_t* x11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}
} // namespace

WindowInputGrab::WindowInputGrab() {
    m_covered.setSingleShot(true);
    m_covered.setInterval(50);
    connect(&m_covered, &QTimer::timeout, this, [this] {
        if (m_window && onCovered)
            onCovered();
    });
}

WindowInputGrab::~WindowInputGrab() {
    release();
}

bool WindowInputGrab::grab(QWidget* window, QWidget* keyTarget) {
    m_window = window;
    m_keyTarget = keyTarget;
    if (keyTarget)
        keyTarget->setFocus();
    QWindow* native = window ? window->windowHandle() : nullptr;
    if (!native || !native->isExposed())
        return false;
    m_windowId = quint32(native->winId());
    watch(true);
    // A keyboard taken while the pointer is refused is kept: the next attempt only adds the pointer.
    const bool keys = native->setKeyboardGrabEnabled(true);
    const bool mouse = native->setMouseGrabEnabled(true);
    m_held = keys && mouse;
    if (!m_held)
        return false;
    native->requestActivate();
    if (m_keyTarget)
        m_keyTarget->setFocus();
    return true;
}

void WindowInputGrab::release() {
    m_covered.stop();
    watch(false);
    if (m_window) {
        if (QWindow* native = m_window->windowHandle()) {
            native->setKeyboardGrabEnabled(false);
            native->setMouseGrabEnabled(false);
        }
    }
    m_window.clear();
    m_keyTarget.clear();
    m_windowId = 0;
    m_held = false;
}

void WindowInputGrab::watch(bool on) {
    xcb_connection_t* c = x11Connection();
    if (!c || on == m_watching)
        return;
    if (on) {
        auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, m_windowId), nullptr);
        if (!geometry)
            return;
        m_root = geometry->root;
        free(geometry);
        // Qt listens on the root window too: add to its mask, and put it back afterwards.
        auto* attributes = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, m_root), nullptr);
        m_rootMask = attributes ? attributes->your_event_mask : 0;
        free(attributes);
        const quint32 mask = m_rootMask | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, m_root, XCB_CW_EVENT_MASK, &mask);
        QCoreApplication::instance()->installNativeEventFilter(this);
    } else {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        xcb_change_window_attributes(c, m_root, XCB_CW_EVENT_MASK, &m_rootMask);
    }
    xcb_flush(c);
    m_watching = on;
}

bool WindowInputGrab::isOwnWindow(quint32 id) const {
    // Our own tooltips and boxes may lie above the lock window.
    const auto windows = QGuiApplication::allWindows();
    return std::any_of(windows.begin(), windows.end(),
                       [id](QWindow* w) { return w->handle() && quint32(w->winId()) == id; });
}

void WindowInputGrab::coveredBy() {
    // Not restarted by later events: a client that keeps restacking must not postpone the raise.
    if (!m_covered.isActive())
        m_covered.start();
}

void WindowInputGrab::grabEnded() {
    // While not fully held the caller is trying again anyway.
    if (!m_held)
        return;
    m_held = false;
    // Told after the event is handled: the grab is not taken again from inside Qt's event handling.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_window && onLost)
                onLost();
        },
        Qt::QueuedConnection);
}

bool WindowInputGrab::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!m_window || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
    case XCB_FOCUS_OUT: {
        // A grab ended without our release: keyboard and pointer are both taken again.
        const auto* focus = reinterpret_cast<const xcb_focus_out_event_t*>(event);
        if (focus->event == m_windowId && focus->mode == XCB_NOTIFY_MODE_UNGRAB)
            grabEnded();
        break;
    }
    case XCB_LEAVE_NOTIFY: {
        const auto* leave = reinterpret_cast<const xcb_leave_notify_event_t*>(event);
        if (leave->event == m_windowId && leave->mode == XCB_NOTIFY_MODE_UNGRAB)
            grabEnded();
        break;
    }
    case XCB_MAP_NOTIFY: {
        const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
        if (map->event == m_root && map->window != m_windowId && !isOwnWindow(map->window))
            coveredBy();
        break;
    }
    case XCB_CONFIGURE_NOTIFY: {
        const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        if (configure->event == m_root && configure->window != m_windowId && !isOwnWindow(configure->window))
            coveredBy();
        break;
    }
    default:
        break;
    }
    return false;
}
