// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

// The short yellow confirmation after activation. Its one tick hides the main window, then the
// window closes and releases itself.
class Splash : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kTimer1Interval = 1400;
    static constexpr int kWidthTwips = 1860;
    static constexpr int kHeightTwips = 645;

    explicit Splash(std::function<void()> hideMainWindow);
    void Timer1_Timer();
    // Closes without hiding the main window (the user came back to it first).
    void cancel();

  private:
    std::function<void()> m_hideMainWindow;
    QLabel* m_label = nullptr;
    QTimer* m_timer = nullptr;
};
