// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QWidget;

// Keeps keyboard and mouse with one window while the computer is locked, and tells when the
// window system took them away or put another window above it.
class InputGrab {
  public:
    virtual ~InputGrab() = default;
    // One attempt. keyTarget receives the keys (the password box); false when the window system
    // refused (another client holds a grab, the window is not on screen yet, no grabs at all).
    virtual bool grab(QWidget* window, QWidget* keyTarget) = 0;
    virtual void release() = 0;

    // While grabbed: the grab was lost, or another window was stacked above the grabbing one.
    std::function<void()> onLost;
    std::function<void()> onCovered;
};
