// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/statusnotifieritem.h"

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QtTest>

// What our own StatusNotifierItem exports: the pictures as panels read them, and the menu as
// com.canonical.dbusmenu lists it; its commands run from the menu's events.
class TestStatusNotifierItem : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void pictures_areArgbInNetworkByteOrder_atThePanelsSizes() {
        QPixmap picture(32, 32);
        picture.fill(QColor(0x11, 0x22, 0x33));
        const SniPixmaps pixmaps = StatusNotifierExport::pixmaps(QIcon(picture));
        QCOMPARE(pixmaps.size(), 3);
        for (const SniPixmap& each : pixmaps) {
            QCOMPARE(each.argb.size(), each.width * each.height * 4);
            QCOMPARE(each.argb.left(4), QByteArray("\xff\x11\x22\x33", 4));
        }
        QCOMPARE(pixmaps.last().width, 32);
        QCOMPARE(pixmaps.first().height, 16);
    }

    void menu_isListedItemByItem_withTheNamedPropertiesOnly() {
        QMenu menu;
        menu.addSeparator();
        menu.addAction(QStringLiteral("Menu"));
        menu.addAction(QStringLiteral("Ukonči_program &x"))->setEnabled(false);
        const DBusMenuLayoutItem all = StatusNotifierExport::layout(&menu);
        QCOMPARE(all.id, 0);
        QCOMPARE(all.properties.value("children-display").toString(), QStringLiteral("submenu"));
        QCOMPARE(all.children.size(), 3);
        QCOMPARE(all.children[0].properties.value("type").toString(), QStringLiteral("separator"));
        QCOMPARE(all.children[1].id, 2);
        QCOMPARE(all.children[1].properties.value("label").toString(), QStringLiteral("Menu"));
        QCOMPARE(all.children[2].properties.value("label").toString(), QStringLiteral("Ukonči__program _x"));
        QCOMPARE(all.children[2].properties.value("enabled").toBool(), false);

        const DBusMenuLayoutItem labels = StatusNotifierExport::layout(&menu, {QStringLiteral("label")});
        QCOMPARE(labels.children[1].properties.keys(), QStringList{"label"});
        QVERIFY(StatusNotifierExport::itemProperties(&menu, 4).isEmpty());
        QVERIFY(StatusNotifierExport::layout(nullptr).children.isEmpty());
    }

    void aClickedItem_runsItsCommand_afterTheCallReturns() {
        QMenu menu;
        menu.addSeparator();
        QAction* show = menu.addAction(QStringLiteral("Menu"));
        QAction* off = menu.addAction(QStringLiteral("Vypni počítač"));
        off->setEnabled(false);
        int shown = 0, switchedOff = 0;
        connect(show, &QAction::triggered, this, [&] { ++shown; });
        connect(off, &QAction::triggered, this, [&] { ++switchedOff; });
        StatusNotifierItem item;
        item.setMenu(&menu);
        item.menuEvent(2, QStringLiteral("clicked"));
        QCOMPARE(shown, 0);
        item.menuEvent(2, QStringLiteral("hovered"));
        item.menuEvent(1, QStringLiteral("clicked"));
        item.menuEvent(3, QStringLiteral("clicked"));
        item.menuEvent(9, QStringLiteral("clicked"));
        QTRY_COMPARE(shown, 1);
        QTest::qWait(20);
        QCOMPARE(shown, 1);
        QCOMPARE(switchedOff, 0);
    }
};

QTEST_MAIN(TestStatusNotifierItem)
#include "statusnotifieritem.moc"
