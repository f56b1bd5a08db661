// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/hostservices.h"

#include <functional>
#include <memory>

class FrmSysTray;
class LockPlatform;
class Splash;
class WorkstationLock;
class QWidget;

// What background mode needs from the main window.
struct MainWindowHooks {
    QWidget* window = nullptr;
    std::function<void()> uložnastavenia;
    std::function<void()> uložtexty;      // the notes, then the settings once more
    std::function<void()> showMainWindow; // show, raise and activate
    std::function<void()> hideMainWindow;
    std::function<void()> minimiseMainWindow; // shown minimised: reachable from the task bar or dock
    std::function<void()> closeMainWindow;    // the ordinary closing path: saves everything, ends the program
};

// Activation, deactivation, the start-up decision and the tray form's life.
class BackgroundMode {
  public:
    // The lock platform is for tests; without one the lock uses the Linux one.
    BackgroundMode(HostServices host, MainWindowHooks hooks, LockPlatform* lockPlatform = nullptr);
    ~BackgroundMode();

    // Throws RunTimeError when a step fails; what was done before stays done.
    void aktivácia();
    void deaktivácia();
    // "ok" in "Aktivácia" starts with the tray form and the main window hidden (returns true);
    // anything else shows the main window (returns false).
    bool startUpDecision();
    // Shows the main window from the tray (the menu's "Menu"); also used when a second start asks.
    // While locking it brings the lock forward instead.
    void restore();
    FrmSysTray* tray() const;
    Splash* splash() const;
    WorkstationLock* lock() const;

    // The executable the autostart entry starts; the running one unless a test says otherwise.
    void setExecutable(const QString& path);
    // How long a start in the background mode waits for a notification area; for tests.
    void setStartAreaWait(int milliseconds);

  private:
    struct Private;
    std::unique_ptr<Private> d;
};
