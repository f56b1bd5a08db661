// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/inputgrab.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// Grabs the keyboard and the pointer for the lock window through its native window (X11 grabs).
// The grab is taken on the window, not on a widget, so that keys still go to the focused password
// box and clicks to the button. While grabbed it watches the X server: the end of its own grab,
// and any other client's window mapped or restacked (the root window's substructure).
class WindowInputGrab final : public QObject, public InputGrab, public QAbstractNativeEventFilter {
    Q_OBJECT
  public:
    WindowInputGrab();
    ~WindowInputGrab() override;
    bool grab(QWidget* window, QWidget* keyTarget) override;
    void release() override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    void watch(bool on);
    bool isOwnWindow(quint32 id) const;
    void coveredBy();
    void grabEnded();

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_keyTarget;
    quint32 m_windowId = 0;
    quint32 m_root = 0;
    quint32 m_rootMask = 0;
    bool m_watching = false;
    bool m_held = false;
    // Several windows mapped at once ask for one raise.
    QTimer m_covered;
};
