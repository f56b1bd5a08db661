#pragma once

#include "host/inputgrab.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// Grabs the keyboard and the pointer for the lock window through its native window (X11 grabs).
// The grab is taken on the window, not on a widget, so that keys still go to the focused password
// box and clicks to the button. A grab refused because the window is not mapped yet, or because
// another client holds one for a moment, is tried again for a while.
class WindowInputGrab final : public QObject, public InputGrab {
    Q_OBJECT
  public:
    bool grab(QWidget* window, QWidget* keyTarget) override;
    void release() override;

  private:
    bool tryGrab();

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_keyTarget;
    QTimer m_retry;
    int m_attemptsLeft = 0;
};
