#include "alerts/alertwindow.h"
#include "alerts/alertwindows.h"
#include "support/fakes.h"

#include <QTest>

// Alerts falling due while the screen is locked sound at once, but their windows wait for the
// unlock, then open in order.
class HeldAlertsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void heldAlertsOpenAfterRelease() {
        FakeHost host;
        AlertWindows alerts(host.services(), [] { return QString(); });
        alerts.setHeld(true);
        alerts.openQueued(4, "štyri");
        alerts.openQueued(2, "dva");
        QCoreApplication::processEvents();
        QVERIFY(host.boxes.shown.empty());
        // Only the sound goes off while locked, once for each alert.
        QCOMPARE(host.sound.played.size(), 2);
        QVERIFY(host.sound.played.first().endsWith("/Flauta.wav"));
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
