// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// The system's taskbar window and its "screen saver running" flag, which the lock switches off
// and on again.
class LockPlatform {
  public:
    using Handle = quintptr;
    virtual ~LockPlatform() = default;
    // The top-level window of that class and title; 0 when there is none.
    virtual Handle findWindow(const QString& className, const QString& title) = 0;
    virtual bool isWindowEnabled(Handle window) = 0;
    // Nonzero when the window was disabled before the call.
    virtual int enableWindow(Handle window, bool enable) = 0;
    virtual void setScreenSaverRunning(bool running) = 0;
};

// The Linux desktop has no taskbar window to disable and no such flag: the lock window's own
// grab keeps the user away from other programs.
class NoTaskbarPlatform final : public LockPlatform {
  public:
    Handle findWindow(const QString&, const QString&) override { return 0; }
    bool isWindowEnabled(Handle) override { return false; }
    int enableWindow(Handle, bool) override { return 0; }
    void setScreenSaverRunning(bool) override {}
};
