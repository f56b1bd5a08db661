// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/module1.h"
#include "host/runtimeerror.h"
#include "lock/workstationlock.h"
#include "support/fakes.h"
#include "support/faketray.h"
#include "host/autostartentry.h"
#include "tray/backgroundmode.h"
#include "tray/frmsystray.h"
#include "tray/splash.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QtTest>

class TestBackgroundMode : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeHost> host;
    RecordingTrayFactory factory;
    QStringList calls;
    std::unique_ptr<BackgroundMode> mode;
    const QString executable = QStringLiteral("/opt/pripomin/pripomin");

    QString autostartFolder() const { return host->home.path() + "/config/autostart"; }
    QString entryPath() const { return autostartFolder() + "/Pripomin.desktop"; }
    QString record() const {
        return Module1::čítajini("Pripomin", "Aktivácia", "Error", host->configDir() + "/PM002.INI");
    }
    QString readEntry() const {
        QFile file(entryPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  private Q_SLOTS:
    void init() {
        host = std::make_unique<FakeHost>();
        factory.log = TrayLog();
        calls.clear();
        HostServices services = host->services();
        services.tray = &factory;
        MainWindowHooks hooks;
        hooks.uložnastavenia = [this] {
            calls << "uložnastavenia";
            Module1::zapíšini("Pripomin", "Run", "1", host->configDir() + "/PM002.INI");
        };
        hooks.uložtexty = [this] { calls << "uložtexty"; };
        hooks.showMainWindow = [this] { calls << "show"; };
        hooks.hideMainWindow = [this] { calls << "hide"; };
        hooks.closeMainWindow = [this] { calls << "close"; };
        mode = std::make_unique<BackgroundMode>(services, hooks);
        mode->setExecutable(executable);
    }
    void cleanup() {
        mode.reset();
        settle();
    }

    void activation_writesEntryRecordAndSaves_thenSplashAndTray() {
        mode->aktivácia();
        QCOMPARE(readEntry(),
                 QStringLiteral("[Desktop Entry]\nType=Application\nName=Pripomin\nComment=Pripomin\n"
                                "Exec=\"/opt/pripomin/pripomin\"\nTryExec=/opt/pripomin/pripomin\n"
                                "Terminal=false\nX-GNOME-Autostart-enabled=true\n"
                                "X-KDE-autostart-after=panel\nX-LXQt-Need-Tray=true\n"));
        QCOMPARE(record(), QStringLiteral("ok"));
        QCOMPARE(Module1::čítajini("Pripomin", "Run", "Error", host->configDir() + "/PM002.INI"),
                 QStringLiteral("1"));
        QCOMPARE(calls, (QStringList{"uložnastavenia", "uložtexty"}));

        Splash* splash = mode->splash();
        QVERIFY(splash && splash->isVisible());
        QCOMPARE(splash->findChild<QLabel*>("Label1")->text(), QStringLiteral("Pripomin bol aktivovaný"));
        QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
        auto* timer = splash->findChild<QTimer*>("Timer1");
        QVERIFY(timer->isActive() && timer->isSingleShot());
        QCOMPARE(timer->interval(), 1400);

        // The icon is there at once; the main window stays until the Splash's tick.
        QVERIFY(mode->tray());
        QCOMPARE(factory.log.count(TrayIcon::Add), 1);
        QVERIFY(!calls.contains("hide"));
        splash->Timer1_Timer();
        QCOMPARE(calls.last(), QStringLiteral("hide"));
        QTRY_VERIFY(!mode->splash());
        QVERIFY(mode->tray());
    }

    void activatingAgain_replacesTheEntry_keepsOneIcon_andOneSplash() {
        QDir().mkpath(autostartFolder());
        QFile old(entryPath());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("[Desktop Entry]\nExec=/old\n");
        old.close();
        QFile::setPermissions(entryPath(), QFile::ReadOwner);

        mode->aktivácia();
        QPointer<Splash> first = mode->splash();
        mode->aktivácia();
        QVERIFY(readEntry().contains("Exec=\"/opt/pripomin/pripomin\""));
        QCOMPARE(factory.log.created, 1);
        QCOMPARE(factory.log.count(TrayIcon::Add), 1);
        QTRY_VERIFY(!first);
        QVERIFY(mode->splash());
        QVERIFY(!calls.contains("hide"));

        // After restoring from the tray a new activation brings exactly one new icon.
        mode->restore();
        settle();
        QVERIFY(!mode->tray());
        QCOMPARE(factory.log.alive, 0);
        mode->aktivácia();
        QCOMPARE(factory.log.alive, 1);
    }

    void activationFailure_stopsAtTheFailingStep_andReachesTheCaller() {
        // The autostart folder cannot be made: a file stands in its place.
        QDir().mkpath(host->home.path() + "/config");
        QFile blocker(autostartFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY_THROWS_EXCEPTION(RunTimeError, mode->aktivácia());
        QCOMPARE(record(), QStringLiteral("Error"));
        QVERIFY(calls.isEmpty());
        QVERIFY(!mode->splash());
        QVERIFY(!mode->tray());

        // The settings cannot be written: the entry is there, nothing after it happened.
        QFile::remove(autostartFolder());
        QFile::remove(host->configDir());
        QFile settingsBlocker(host->configDir());
        QVERIFY(settingsBlocker.open(QIODevice::WriteOnly));
        settingsBlocker.close();
        try {
            mode->aktivácia();
            QFAIL("activation reported success");
        } catch (const RunTimeError& error) {
            QCOMPARE(error.number, 75);
        }
        QVERIFY(QFile::exists(entryPath()));
        QVERIFY(calls.isEmpty());
        QVERIFY(!mode->tray());
    }

    void entryExec_quotesAndEscapesAwkwardPaths() {
        const QString content = AutostartEntry::content(QStringLiteral("/home/a b/$x`q\"%1\\p"));
        QVERIFY(content.contains(QStringLiteral("Exec=\"/home/a b/\\\\$x\\\\`q\\\\\"%%1\\\\\\\\p\"\n")));
        QVERIFY(content.contains(QStringLiteral("TryExec=/home/a b/$x`q\"%1\\\\p\n")));
        QVERIFY(
            AutostartEntry::content(QStringLiteral("/x\ny")).contains(QStringLiteral("TryExec=/x\\ny\n")));
    }

    void deactivation_yes_writesNo_andDeletesEvenAReadOnlyEntry() {
        mode->aktivácia();
        QFile::setPermissions(entryPath(), QFile::ReadOwner);
        host->boxes.answers = {MessageBoxes::Yes};
        mode->deaktivácia();
        QCOMPARE(host->boxes.shown.size(), size_t(1));
        QCOMPARE(host->boxes.shown[0].text, QStringLiteral("Chcete funkcie programu\r\ndeaktivovavať?"));
        QCOMPARE(host->boxes.shown[0].style, 35);
        QCOMPARE(host->boxes.shown[0].title, QStringLiteral("Deaktivácia programu"));
        QCOMPARE(record(), QStringLiteral("no"));
        QVERIFY(!QFile::exists(entryPath()));
        // The mode is left alone.
        QVERIFY(mode->tray());
        QVERIFY(!calls.contains("show"));

        // Without an entry Yes still records "no" and reports nothing.
        Module1::zapíšini("Pripomin", "Aktivácia", "ok", host->configDir() + "/PM002.INI");
        host->boxes.answers = {MessageBoxes::Yes};
        mode->deaktivácia();
        QCOMPARE(record(), QStringLiteral("no"));
        QCOMPARE(host->boxes.shown.size(), size_t(2));
    }

    void deactivation_noOrCancel_changesNothing() {
        mode->aktivácia();
        const QString entry = readEntry();
        for (int answer : {int(MessageBoxes::No), int(MessageBoxes::Cancel)}) {
            host->boxes.answers = {answer};
            mode->deaktivácia();
            QCOMPARE(record(), QStringLiteral("ok"));
            QCOMPARE(readEntry(), entry);
        }
    }

    void startUpDecision_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("background");
        QTest::newRow("ok") << "ok" << true;
        QTest::newRow("OK") << "OK" << false;
        QTest::newRow("no") << "no" << false;
        QTest::newRow("Ok") << "Ok" << false;
        QTest::newRow("missing") << QString() << false;
    }
    void startUpDecision() {
        QFETCH(QString, value);
        QFETCH(bool, background);
        if (!value.isNull())
            Module1::zapíšini("Pripomin", "Aktivácia", value, host->configDir() + "/PM002.INI");
        QCOMPARE(mode->startUpDecision(), background);
        QCOMPARE(bool(mode->tray()), background);
        QCOMPARE(calls.contains("show"), !background);
        QVERIFY(!mode->splash());
        QCOMPARE(factory.log.count(TrayIcon::Add), background ? 1 : 0);
    }

    // At logon the program may start before the desktop's panel: it shows nothing while it waits
    // for an area; with none by the end of the wait the window comes up minimised, and an area
    // that comes later takes it back to hidden unless the user has opened it meanwhile.
    void backgroundStart_waitsForAnArea_data() {
        QTest::addColumn<bool>("areaAtStart");
        QTest::addColumn<bool>("openedMeanwhile");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("area there") << true << false << QStringList();
        QTest::newRow("area later") << false << false << QStringList{"minimise", "hide"};
        QTest::newRow("area later, window opened") << false << true << QStringList{"minimise"};
    }
    void backgroundStart_waitsForAnArea() {
        QFETCH(bool, areaAtStart);
        QFETCH(bool, openedMeanwhile);
        QFETCH(QStringList, expected);
        QWidget window;
        MainWindowHooks hooks;
        hooks.window = &window;
        hooks.minimiseMainWindow = [&] {
            calls << "minimise";
            window.showMinimized();
        };
        hooks.hideMainWindow = [&] {
            calls << "hide";
            window.hide();
        };
        hooks.showMainWindow = [&] { window.show(); };
        HostServices services = host->services();
        services.tray = &factory;
        BackgroundMode waiting(services, hooks);
        waiting.setStartAreaWait(200);
        factory.log.areaPresent = areaAtStart;
        Module1::zapíšini("Pripomin", "Aktivácia", "ok", host->configDir() + "/PM002.INI");
        QVERIFY(waiting.startUpDecision());
        QTest::qWait(100);
        QVERIFY(calls.isEmpty() && !window.isVisible());
        QTest::qWait(300);
        QCOMPARE(window.isMinimized(), !areaAtStart);
        if (openedMeanwhile)
            window.setWindowState(Qt::WindowNoState);
        factory.setAreaPresent(true);
        QCOMPARE(calls, expected);
        QCOMPARE(factory.log.count(TrayIcon::Add), 1);
        factory.setAreaPresent(false);
        factory.setAreaPresent(true);
        QCOMPARE(calls, expected);
        // Brought back from the tray, the window comes up whole.
        waiting.restore();
        QVERIFY(window.isVisible() && !window.isMinimized());
    }

    void restore_removesTheIconAndShowsTheWindow_recordStaysOk() {
        Module1::zapíšini("Pripomin", "Aktivácia", "ok", host->configDir() + "/PM002.INI");
        QVERIFY(mode->startUpDecision());
        mode->tray()->findChild<QAction*>("mMaximize")->trigger();
        QCOMPARE(factory.log.notifies.back().message, int(TrayIcon::Delete));
        QVERIFY(!mode->tray());
        settle();
        QCOMPARE(factory.log.alive, 0);
        QCOMPARE(calls, QStringList{"show"});
        QCOMPARE(record(), QStringLiteral("ok"));

        // A later start asking to be shown, in the foreground, only shows the window.
        mode->restore();
        QCOMPARE(calls, (QStringList{"show", "show"}));
    }

    void restoreBeforeTheSplashTicks_keepsTheWindowOnScreen() {
        mode->aktivácia();
        QPointer<Splash> splash = mode->splash();
        mode->restore();
        QTRY_VERIFY(!splash);
        QVERIFY(!calls.contains("hide"));
        QCOMPARE(calls.last(), QStringLiteral("show"));
    }

    void exit_removesTheIconThenClosesTheMainWindow() {
        Module1::zapíšini("Pripomin", "Aktivácia", "ok", host->configDir() + "/PM002.INI");
        mode->startUpDecision();
        mode->tray()->findChild<QAction*>("mExit")->trigger();
        QCOMPARE(factory.log.notifies.back().message, int(TrayIcon::Delete));
        QCOMPARE(calls, QStringList{"close"});
        QVERIFY(!mode->tray());
        settle();
        QCOMPARE(factory.log.alive, 0);
    }

    void whileLocking_menuAndSecondStart_neitherShowNorEnd_shutdownStillWorks_data() {
        QTest::addColumn<bool>("boxOpen");
        QTest::addColumn<QString>("command");
        for (bool boxOpen : {true, false}) {
            for (const char* command : {"mMaximize", "mExit", "second start"})
                QTest::addRow("%s, %s", boxOpen ? "password box open" : "locked", command)
                    << boxOpen << command;
        }
    }
    void whileLocking_menuAndSecondStart_neitherShowNorEnd_shutdownStillWorks() {
        QFETCH(bool, boxOpen);
        QFETCH(QString, command);
        Module1::zapíšini("Pripomin", "Aktivácia", "ok", host->configDir() + "/PM002.INI");
        mode->startUpDecision();
        auto act = [&] {
            QVERIFY(mode->lock()->isLocking());
            if (command == "second start")
                mode->restore();
            else
                mode->tray()->findChild<QAction*>(command)->trigger();
        };
        if (boxOpen)
            host->boxes.whileOpen = [&](const ScriptedBoxes::Shown&) { act(); };
        host->boxes.inputAnswers = {QStringLiteral("tajné")};
        mode->tray()->findChild<QAction*>("mZamok")->trigger();
        if (!boxOpen)
            act();
        settle();
        QCOMPARE(host->boxes.inputs.size(), size_t(1));
        QVERIFY(mode->lock()->isLocked());
        QCOMPARE(mode->lock()->heslozámku, QStringLiteral("tajné"));
        QVERIFY(calls.isEmpty());
        QVERIFY(mode->tray() && mode->tray()->flashing());
        QCOMPARE(factory.log.count(TrayIcon::Delete), 0);

        mode->tray()->findChild<QAction*>("mAbout")->trigger();
        QCOMPARE(host->shutdown.calls, 1);
    }
};

QTEST_MAIN(TestBackgroundMode)
#include "backgroundmode.moc"
