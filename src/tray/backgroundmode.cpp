#include "tray/backgroundmode.h"

#include "host/module1.h"

// Minimal stand-in until background mode lands: the start-up decision always shows the window.
struct BackgroundMode::Private {
    HostServices host;
    MainWindowHooks hooks;
};

BackgroundMode::BackgroundMode(HostServices host, MainWindowHooks hooks)
    : d(std::make_unique<Private>(Private{std::move(host), std::move(hooks)})) {}
BackgroundMode::~BackgroundMode() = default;
void BackgroundMode::aktivácia() {}
void BackgroundMode::deaktivácia() {}
bool BackgroundMode::startUpDecision() {
    d->hooks.showMainWindow();
    return false;
}
void BackgroundMode::restore() { d->hooks.showMainWindow(); }
FrmSysTray* BackgroundMode::tray() const { return nullptr; }
