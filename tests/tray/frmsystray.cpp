// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/qttray.h"
#include "support/fakes.h"
#include "support/faketray.h"
#include "tray/frmsystray.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
const QString kTooltip = QStringLiteral(" Pripomin sleduje Vami naplánované odkazy ");
}

class TestFrmSysTray : public QObject {
    Q_OBJECT

    FakeHost host;
    RecordingTrayFactory factory;
    QStringList calls;

    std::unique_ptr<FrmSysTray> load() {
        HostServices services = host.services();
        services.tray = &factory;
        FrmSysTray::Owner owner;
        owner.unload = [this] { calls << "unload"; };
        owner.showMainWindow = [this] { calls << "show"; };
        owner.closeMainWindow = [this] { calls << "close"; };
        owner.mZamok = [this] { calls << "lock"; };
        return std::make_unique<FrmSysTray>(services, owner);
    }
    QImage flash1, flash2;

  private Q_SLOTS:
    void init() {
        factory.log = TrayLog();
        calls.clear();
    }

    void pictures_areTwoDistinct32PixelIcons() {
        const QImage one(QStringLiteral(PRIPOMIN_OUTPUT_DIR "/Flash1.png"));
        const QImage two(QStringLiteral(PRIPOMIN_OUTPUT_DIR "/Flash2.png"));
        QCOMPARE(one.size(), QSize(32, 32));
        QCOMPARE(two.size(), QSize(32, 32));
        QVERIFY(one.convertToFormat(QImage::Format_ARGB32) != two.convertToFormat(QImage::Format_ARGB32));
        auto form = load();
        QCOMPARE(form->findChild<QObject*>("Flash1")->objectName(), QStringLiteral("Flash1"));
        QVERIFY(form->findChild<QObject*>("Flash2"));
    }

    void loading_addsTheIconWithFlash1AndTheTooltip_andStartsFlashing() {
        auto form = load();
        QVERIFY(!form->isVisible());
        QCOMPARE(factory.log.notifies.size(), size_t(1));
        const auto& add = factory.log.notifies.front();
        QCOMPARE(add.message, int(TrayIcon::Add));
        QCOMPARE(add.tooltip, kTooltip);
        QCOMPARE(add.picture, form->flash1().pixmap(32, 32).toImage());
        auto* timer = form->findChild<QTimer*>("TmrFlash");
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 3000);
        QCOMPARE(form->Interval(), qint16(3000));
        QVERIFY(!form->flashPhase());
    }

    void flashing_alternatesThePictures_andEachNewFormStartsAtFlash1() {
        QImage one, two;
        {
            auto form = load();
            one = form->flash1().pixmap(32, 32).toImage();
            two = form->flash2().pixmap(32, 32).toImage();
            for (int tick = 1; tick <= 3; ++tick)
                form->TmrFlash_Timer();
            QCOMPARE(factory.log.notifies.size(), size_t(4));
            for (int i = 1; i <= 3; ++i)
                QCOMPARE(factory.log.notifies[i].message, int(TrayIcon::Modify));
            QCOMPARE(factory.log.notifies[1].picture, two);
            QCOMPARE(factory.log.notifies[2].picture, one);
            QCOMPARE(factory.log.notifies[3].picture, two);
            QVERIFY(form->flashPhase());
        }
        auto again = load();
        QVERIFY(!again->flashPhase());
        QCOMPARE(factory.log.notifies.back().picture, one);
        again->TmrFlash_Timer();
        QCOMPARE(factory.log.notifies.back().picture, two);
    }

    void tooltipField_holdsTextNulAndBlanks_neverMoreThan64() {
        auto form = load();
        const QString field = form->Tooltip();
        QCOMPARE(field.size(), 64);
        QCOMPARE(field, kTooltip + QChar(0) + QString(64 - kTooltip.size() - 1, QLatin1Char(' ')));

        const QString long63 = QString(62, QLatin1Char('a')) + QLatin1Char('z');
        form->Tooltip(long63);
        QCOMPARE(form->Tooltip(), long63 + QChar(0));
        form->TmrFlash_Timer();
        QCOMPARE(factory.log.notifies.back().tooltip, long63);

        // Longer texts keep the terminator: 63 characters shown, the rest dropped.
        form->Tooltip(QString(100, QLatin1Char('b')));
        QCOMPARE(form->Tooltip().size(), 64);
        QCOMPARE(form->Tooltip(), QString(63, QLatin1Char('b')) + QChar(0));
        form->TmrFlash_Timer();
        QCOMPARE(factory.log.notifies.back().tooltip, QString(63, QLatin1Char('b')));

        // Writing the tooltip sends nothing by itself.
        const auto before = factory.log.notifies.size();
        form->Tooltip(QStringLiteral("x"));
        QCOMPARE(factory.log.notifies.size(), before);
    }

    void trayIcon_default_inAnyCase_flashesAndShowsFlash2AtOnce() {
        for (const QString& text :
             {QStringLiteral("default"), QStringLiteral("DEFAULT"), QStringLiteral("DeFauLT")}) {
            auto form = load();
            form->TrayIcon(QIcon(QPixmap(32, 32)));
            QVERIFY(!form->flashing());
            form->TrayIcon(text);
            QVERIFY(form->flashing());
            QCOMPARE(factory.log.notifies.back().message, int(TrayIcon::Modify));
            QCOMPARE(factory.log.notifies.back().picture, form->flash2().pixmap(32, 32).toImage());
        }
    }

    void trayIcon_pictureStopsFlashing_fileKeepsIt_failureLeavesItOn() {
        auto form = load();
        QPixmap green(32, 32);
        green.fill(Qt::green);
        form->TrayIcon(QIcon(green));
        QVERIFY(!form->flashing());
        QCOMPARE(factory.log.notifies.back().picture,
                 green.toImage().convertToFormat(factory.log.notifies.back().picture.format()));

        QTemporaryDir dir;
        QPixmap blue(32, 32);
        blue.fill(Qt::blue);
        const QString file = dir.filePath("blue.png");
        QVERIFY(blue.save(file));
        form->TrayIcon(file);
        QVERIFY(form->flashing());
        QCOMPARE(factory.log.notifies.back().picture.pixelColor(5, 5), QColor(Qt::blue));
        form->TmrFlash_Timer();
        QVERIFY(factory.log.notifies.back().picture.pixelColor(5, 5) != QColor(Qt::blue));

        form->TrayIcon(QIcon(green));
        form->TrayIcon(dir.filePath("missing.png"));
        QVERIFY(form->flashing());
        form->TrayIcon(QIcon(green));
        form->TrayIcon(static_cast<const QWidget*>(nullptr));
        QVERIFY(form->flashing());
        QCOMPARE(factory.log.notifies.back().message, int(TrayIcon::Modify));
    }

    void interval_setsTheTimerAndSendsAModify_refusingZeroOrLess() {
        auto form = load();
        form->Interval(500);
        QCOMPARE(form->Interval(), qint16(500));
        QCOMPARE(factory.log.notifies.back().message, int(TrayIcon::Modify));
        QVERIFY(form->flashing());
        form->Interval(0);
        form->Interval(-5);
        QCOMPARE(form->Interval(), qint16(500));
        QVERIFY(form->flashing());
    }

    void mouse_onlyTheRightButtonOpensTheMenu_oncePerClick() {
        auto form = load();
        // What QSystemTrayIcon reports, as the events the form receives.
        auto send = [&](QSystemTrayIcon::ActivationReason reason) {
            if (const auto event = QtTrayIcon::eventFor(reason))
                factory.log.last->onEvent(*event);
        };
        send(QSystemTrayIcon::Trigger);
        send(QSystemTrayIcon::DoubleClick);
        send(QSystemTrayIcon::MiddleClick);
        QCOMPARE(factory.log.popups, 0);
        send(QSystemTrayIcon::Context);
        QCOMPARE(factory.log.popups, 1);
        QCOMPARE(factory.log.lastMenu, form->mPopupMenu());
    }

    void menu_hasSixItemsInOrder_andIsOfferedForExport() {
        auto form = load();
        QMenu* menu = form->mPopupMenu();
        // A notification area that draws menus itself gets this same menu.
        QCOMPARE(factory.log.exportedMenu, menu);
        QCOMPARE(menu->objectName(), QStringLiteral("mPopupMenu"));
        QCOMPARE(menu->title(), QStringLiteral("&PopupMenu"));
        QVERIFY(!menu->separatorsCollapsible()); // the leading separator is shown
        const auto items = menu->actions();
        QCOMPARE(items.size(), 6);
        const QStringList names{"mSep1", "mMaximize", "mSep2", "mExit", "mZamok", "mAbout"};
        const QStringList texts{"", "Menu", "", "Ukonči program", "Zamkni počítač", "Vypni počítač"};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(items[i]->objectName(), names[i]);
            QCOMPARE(items[i]->isSeparator(), texts[i].isEmpty());
            QCOMPARE(items[i]->text(), texts[i]);
        }
    }

    void menuCommands_removeTheIconFirst_thenActThroughTheOwner() {
        auto form = load();
        form->findChild<QAction*>("mMaximize")->trigger();
        QCOMPARE(factory.log.notifies.back().message, int(TrayIcon::Delete));
        QCOMPARE(calls, (QStringList{"unload", "show"}));

        calls.clear();
        auto second = load();
        second->findChild<QAction*>("mExit")->trigger();
        QCOMPARE(factory.log.notifies.back().message, int(TrayIcon::Delete));
        QCOMPARE(calls, (QStringList{"unload", "close"}));

        calls.clear();
        second->findChild<QAction*>("mZamok")->trigger();
        QCOMPARE(calls, QStringList{"lock"});
    }

    void shutDown_asksNothing() {
        auto form = load();
        host.boxes.shown.clear();
        form->findChild<QAction*>("mAbout")->trigger();
        QCOMPARE(host.shutdown.calls, 1);
        QVERIFY(host.boxes.shown.empty());
        QVERIFY(calls.isEmpty());
    }

    void ownerHooks_hideOnCloseBoxAndMinimize() {
        auto form = load();
        QWidget window;
        window.show();
        qint16 cancel = 0;
        form->MeQueryUnload(&window, cancel, 1);
        QCOMPARE(cancel, qint16(0));
        QVERIFY(window.isVisible());
        form->MeQueryUnload(&window, cancel, 0);
        QCOMPARE(cancel, qint16(1));
        QVERIFY(!window.isVisible());
        QVERIFY(window.windowState() & Qt::WindowMinimized);
        window.setWindowState(Qt::WindowNoState);
        window.show();
        form->MeResize(&window);
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(TestFrmSysTray)
#include "frmsystray.moc"
