// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The desktop's own screen locker. On a Wayland session (native, or XWayland under a Wayland
// compositor) a program cannot keep the keyboard, so the lock is left to the desktop there.
class SessionLocker {
  public:
    virtual ~SessionLocker() = default;
    virtual bool isWaylandSession() const = 0;
    // Locks the caller's session; the desktop asks for the user's own password to unlock.
    virtual void lockSession() = 0;
};

// XDG_SESSION_TYPE=wayland or WAYLAND_DISPLAY marks the session; logind locks it.
class LogindSessionLocker final : public SessionLocker {
  public:
    bool isWaylandSession() const override;
    void lockSession() override;
};
