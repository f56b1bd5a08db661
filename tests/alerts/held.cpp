// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/alertwindow.h"
#include "alerts/alertwindows.h"
#include "support/fakes.h"

#include <QTest>

// Alerts on their way when the screen is locked wait for the unlock, then open in order.
class HeldAlertsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void heldAlertsOpenAfterRelease() {
        FakeHost host;
        AlertWindows alerts(host.services());
        // One queued just before the lock waits too.
        alerts.openQueued(4, "štyri");
        alerts.setHeld(true);
        alerts.openQueued(2, "dva");
        QCoreApplication::processEvents();
        QVERIFY(host.boxes.shown.empty());
        QVERIFY(host.sound.played.isEmpty());
        QVERIFY(!alerts.instance(4));

        std::vector<QString> order;
        host.boxes.whileOpen = [&](const ScriptedBoxes::Shown&) { order.push_back(alerts.alertText()); };
        alerts.setHeld(false);
        QTRY_COMPARE(host.boxes.shown.size(), std::size_t(2));
        QCOMPARE(order, (std::vector<QString>{"štyri", "dva"}));
        QVERIFY(alerts.instance(4));
        QVERIFY(alerts.instance(2));
        // Nothing is held twice.
        alerts.setHeld(true);
        alerts.setHeld(false);
        QCoreApplication::processEvents();
        QCOMPARE(host.boxes.shown.size(), std::size_t(2));
    }
};

QTEST_MAIN(HeldAlertsTest)
#include "held.moc"
