#include "host/windowinputgrab.h"

#include <QGuiApplication>
#include <QWindow>

bool WindowInputGrab::grab(QWidget* window, QWidget* keyTarget) {
    release();
    m_window = window;
    m_keyTarget = keyTarget;
    if (keyTarget)
        keyTarget->setFocus();
    if (tryGrab())
        return true;
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false; // Wayland and the like refuse grabs for good
    m_attemptsLeft = 50;
    m_retry.setInterval(100);
    disconnect(&m_retry, nullptr, this, nullptr);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (tryGrab() || --m_attemptsLeft <= 0 || !m_window)
            m_retry.stop();
    });
    m_retry.start();
    return false;
}

bool WindowInputGrab::tryGrab() {
    if (!m_window)
        return false;
    QWindow* native = m_window->windowHandle();
    if (!native || !native->isExposed())
        return false;
    const bool keys = native->setKeyboardGrabEnabled(true);
    const bool mouse = native->setMouseGrabEnabled(true);
    if (keys && mouse) {
        native->requestActivate();
        if (m_keyTarget)
            m_keyTarget->setFocus();
        return true;
    }
    native->setKeyboardGrabEnabled(false);
    native->setMouseGrabEnabled(false);
    return false;
}

void WindowInputGrab::release() {
    m_retry.stop();
    if (m_window) {
        if (QWindow* native = m_window->windowHandle()) {
            native->setKeyboardGrabEnabled(false);
            native->setMouseGrabEnabled(false);
        }
    }
    m_window.clear();
    m_keyTarget.clear();
}
