// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/backgroundmode.h"

#include "host/messageboxes.h"
#include "host/module1.h"
#include "host/runtimeerror.h"
#include "lock/workstationlock.h"
#include "slots/settingsfile.h"
#include "host/autostartentry.h"
#include "tray/frmsystray.h"
#include "tray/splash.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {
const QString kSection = QStringLiteral("Pripomin");
const QString kRecord = QStringLiteral("Aktivácia");
// How long a start in the background mode waits for a notification area before the window comes
// up minimised: at logon the program may start well before the desktop's panel, and a panel
// that registers its host late (Plasma's shell, GNOME's extension) was seen to take 10 s and more.
constexpr int kStartAreaWait = 30000;
// After activation the session is up: an area that is not there by the Splash's end is not coming.
constexpr int kActivationAreaWait = 4000;

} // namespace

struct BackgroundMode::Private {
    Private(HostServices given, MainWindowHooks hooks, LockPlatform* lockPlatform)
        : host(std::move(given)), hooks(std::move(hooks)), lock(host, lockPlatform) {}

    HostServices host;
    MainWindowHooks hooks;
    WorkstationLock lock;
    QPointer<FrmSysTray> tray;
    QPointer<Splash> splash;
    QString executable = QCoreApplication::applicationFilePath();
    int startAreaWait = kStartAreaWait;
    // The window was minimised for want of an area: one that comes takes it back to hidden.
    bool minimisedForNoArea = false;

    QString settingsPath() const {
        return QDir(host.configFolder).filePath(QLatin1String(SettingsFile::kName));
    }
    QString startupFolder() const {
        return Module1::čítajhodnotu(
            Module1::RegistryRoot::CurrentUser,
            QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
                           "Folders\\"),
            QStringLiteral("Startup"), host.autostartFolder);
    }

    void call(const std::function<void()>& hook) {
        if (hook)
            hook();
    }

    void loadTray(int areaWait) {
        // Loading a form that is loaded already does nothing: there is only ever one icon.
        if (tray)
            return;
        minimisedForNoArea = false;
        FrmSysTray::Owner owner;
        owner.unload = [this] { unloadTray(); };
        owner.showMainWindow = [this] { showMainWindow(); };
        owner.closeMainWindow = [this] { call(hooks.closeMainWindow); };
        owner.mZamok = [this] { lock.mZamok_Click(); };
        owner.heldByLock = [this] { return bringLockForward(); };
        tray = new FrmSysTray(host, std::move(owner));
        QObject::connect(tray, &FrmSysTray::areaChanged, tray, [this] { areaChanged(); });
        QTimer::singleShot(areaWait, tray, [this] { keepReachableWithoutArea(); });
    }

    // With no notification area (stock GNOME, a bare compositor) a hidden window could not be
    // brought back: it stays on the task bar, minimised, instead. The icon still appears in an area
    // that comes later.
    void keepReachableWithoutArea() {
        if (tray && !tray->areaPresent() && hooks.window && !hooks.window->isVisible()) {
            call(hooks.minimiseMainWindow);
            minimisedForNoArea = true;
        }
    }

    // The icon is in the area that came: the window goes back to hidden, unless the user has
    // opened it from the task bar meanwhile.
    void areaChanged() {
        if (!minimisedForNoArea || !tray || !tray->areaPresent() || !hooks.window)
            return;
        minimisedForNoArea = false;
        if (!hooks.window->isMinimized())
            return;
        call(hooks.hideMainWindow);
    }

    // Nothing shows the notes or ends the program from the moment the lock is chosen until the
    // right password: what asks for that brings the lock (or its password box) forward instead.
    bool bringLockForward() {
        if (!lock.isLocking())
            return false;
        lock.bringForward();
        return true;
    }

    void unloadTray() {
        if (!tray)
            return;
        // The menu command that got us here is still running inside the form.
        tray->deleteLater();
        tray.clear();
    }

    void showMainWindow() {
        // Coming back before the Splash's tick must not have the window hidden under the user.
        if (splash)
            splash->cancel();
        call(hooks.showMainWindow);
        // A window minimised for want of an area comes back whole. Not before the show: taking the
        // state away from a hidden window would map it behind the program's back.
        if (hooks.window && hooks.window->isMinimized())
            hooks.window->setWindowState(hooks.window->windowState() & ~Qt::WindowMinimized);
    }
};

BackgroundMode::BackgroundMode(HostServices host, MainWindowHooks hooks, LockPlatform* lockPlatform)
    : d(std::make_unique<Private>(host, std::move(hooks), lockPlatform)) {}

BackgroundMode::~BackgroundMode() {
    delete d->tray.data();
    delete d->splash.data();
}

void BackgroundMode::setExecutable(const QString& path) {
    d->executable = path;
}

void BackgroundMode::setStartAreaWait(int milliseconds) {
    d->startAreaWait = milliseconds;
}

void BackgroundMode::aktivácia() {
    AutostartEntry::write(d->startupFolder(), d->executable);
    if (!Module1::zapíšini(kSection, kRecord, QStringLiteral("ok"), d->settingsPath()))
        throw RunTimeError::pathFileAccess(d->settingsPath());
    d->call(d->hooks.uložnastavenia);
    d->call(d->hooks.uložtexty);
    // A second activation within the 1400 ms replaces the first Splash.
    if (d->splash)
        d->splash->cancel();
    d->splash = new Splash([this] { d->call(d->hooks.hideMainWindow); });
    d->splash->show();
    d->loadTray(kActivationAreaWait);
}

void BackgroundMode::deaktivácia() {
    // Any failure ends deactivation silently with what was done so far.
    const QString folder = d->startupFolder();
    const int answer = d->host.boxes->msgBox(QStringLiteral("Chcete funkcie programu\r\ndeaktivovavať?"),
                                             MessageBoxes::YesNoCancel + MessageBoxes::Question,
                                             QStringLiteral("Deaktivácia programu"));
    if (answer != MessageBoxes::Yes)
        return;
    if (!Module1::zapíšini(kSection, kRecord, QStringLiteral("no"), d->settingsPath()))
        return;
    AutostartEntry::remove(folder);
}

bool BackgroundMode::startUpDecision() {
    const QString record =
        Module1::čítajini(kSection, kRecord, QLatin1String(SettingsFile::kMissing), d->settingsPath());
    if (record == QLatin1String("ok")) {
        d->loadTray(d->startAreaWait);
        return true;
    }
    d->call(d->hooks.showMainWindow);
    return false;
}

void BackgroundMode::restore() {
    if (d->bringLockForward())
        return;
    if (d->tray)
        d->tray->mMaximize_Click();
    else
        d->showMainWindow();
}

FrmSysTray* BackgroundMode::tray() const {
    return d->tray;
}
Splash* BackgroundMode::splash() const {
    return d->splash;
}
WorkstationLock* BackgroundMode::lock() const {
    return &d->lock;
}
