#pragma once

class QWidget;

// Keeps keyboard and mouse with one window while the computer is locked.
class InputGrab {
public:
    virtual ~InputGrab() = default;
    // keyTarget receives the keys (the password box); returns false when the window system refused.
    virtual bool grab(QWidget* window, QWidget* keyTarget) = 0;
    virtual void release() = 0;
};
