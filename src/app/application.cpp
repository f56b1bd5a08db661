// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include "app/mainwindow.h"
#include "alerts/alertwindows.h"
#include "host/signalbridge.h"
#include "host/clock.h"
#include "host/clockchanges.h"
#include "host/displayconnection.h"
#include "host/firstshowminimised.h"
#include "host/messageboxes.h"
#include "host/paths.h"
#include "host/qttray.h"
#include "host/shell.h"
#include "host/shutdown.h"
#include "host/singleinstance.h"
#include "host/sessionlocker.h"
#include "host/sound.h"
#include "host/windowinputgrab.h"
#include "lock/workstationlock.h"
#include "tray/backgroundmode.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTranslator>
#include <cstdlib>

namespace {
// When the display goes away (a logout without a session manager), Qt ends the process from inside
// the event loop with exit(): the slots, kept current in memory, are still written then.
MainWindow* g_windowToSave = nullptr;

void saveAtExit() {
    if (g_windowToSave)
        g_windowToSave->saveWithoutWindows();
}

struct SaveAtExitGuard {
    explicit SaveAtExitGuard(MainWindow* window) {
        g_windowToSave = window;
        static const bool registered = std::atexit(saveAtExit) == 0;
        Q_UNUSED(registered);
    }
    ~SaveAtExitGuard() { g_windowToSave = nullptr; }
};

void loadSlovakQtTexts(QApplication& app) {
    // Qt's own texts (context menus of the text boxes and the like) in Slovak, whatever the locale.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_sk"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}
} // namespace

int runPripomin(int argc, char** argv) {
    DisplayConnection::prepare();
    QApplication app(argc, argv);
    DisplayConnection::made();
    // The name screen readers, panels and untitled windows show. A display name would also be
    // appended by Qt to every window title, and the titles are the program's own.
    QApplication::setApplicationName(QStringLiteral("Pripomin"));
    QApplication::setDesktopFileName(QStringLiteral("pripomin"));
    // Closing the last message box must not end the program; only the main window's closing does.
    QApplication::setQuitOnLastWindowClosed(false);
    loadSlovakQtTexts(app);

    SingleInstance instance;
    if (!instance.becomePrimary())
        return 0;

    SystemClock clock;
    QtMessageBoxes boxes;
    DesktopSound sound(Paths::executableFolder());
    DesktopShell shell;
    LogindShutdown shutdown;
    QtTrayIconFactory tray;
    WindowInputGrab grab;
    LogindSessionLocker sessionLocker;
    HostServices host;
    host.clock = &clock;
    host.boxes = &boxes;
    host.sound = &sound;
    host.shell = &shell;
    host.shutdown = &shutdown;
    host.tray = &tray;
    host.grab = &grab;
    host.sessionLocker = &sessionLocker;
    host.programFolder = Paths::executableFolder();
    host.configFolder = Paths::configDir();
    host.dataFolder = Paths::dataDir();
    host.autostartFolder = Paths::configHome() + QStringLiteral("/autostart");

    MainWindow window(host);
    window.onUnloaded = [] { QCoreApplication::exit(0); };
    AlertWindows alerts(host);
    // The tick returns before an alert's confirmation box opens, so the watcher keeps ticking.
    window.openAlert = [&alerts](int k, const QString& note) { alerts.openQueued(k, note); };
    alerts.onConfirmed = [&window](int k) { window.alertConfirmed(k); };
    QObject::connect(&window.watcher(), &Watcher::slotDueSoon, &alerts, [&alerts] { alerts.prepare(); });

    MainWindowHooks hooks;
    hooks.window = &window;
    hooks.uložnastavenia = [&window] { window.uložnastavenia(); };
    hooks.uložtexty = [&window] { window.uložtexty(); };
    hooks.showMainWindow = [&window] {
        window.show();
        window.raise();
        window.activateWindow();
    };
    hooks.hideMainWindow = [&window] { window.hide(); };
    hooks.minimiseMainWindow = [&window] { showMinimisedFromTheStart(&window); };
    hooks.closeMainWindow = [&window] { window.close(); };
    BackgroundMode background(host, hooks);
    window.setBackgroundMode(&background);
    instance.onShowRequested = [&background] { background.restore(); };
    background.lock()->onLockChanged = [&alerts, &window](bool locked) {
        alerts.setHeld(locked);
        window.setAlertsHeld(locked);
    };

    // A logout, a shutdown or a kill closes the window by its ordinary path, which saves everything.
    SignalBridge termination;
    QObject::connect(&termination, &SignalBridge::terminationRequested, &window,
                     [&window] { window.closeForTermination(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.closeForTermination(); });

    ClockChanges clockChanges;
    QObject::connect(&clockChanges, &ClockChanges::changed, &window.watcher(), &Watcher::clockChanged);

    window.Form_Load();
    // Registered after the load, so everything the save uses was made before and is still there
    // when exit() runs the handler.
    const SaveAtExitGuard saveAtExitGuard(&window);
    if (window.isUnloaded())
        return 0;
    background.startUpDecision();
    return QApplication::exec();
}
