// SPDX-License-Identifier: GPL-3.0-or-later
// What the window does when its watcher finds a slot due: the alert gets the note, the slot gives
// up its time and note, the editor goes blank only with its own slot; while locked only the melody.
#include "support/mainwindowfixture.h"

#include "host/richtextbox.h"

#include <QDateTimeEdit>
#include <QTabWidget>
#include <QTest>

namespace {
const QDate kToday(2002, 3, 12);
} // namespace

class FiringTest : public QObject {
    Q_OBJECT

    // A window loaded at 14:29:55 with the slots due at 14:30:00.
    static MainWindow& loadWithDue(MainWindowFixture& f, std::initializer_list<int> dueSlots) {
        f.host.clock.current = QDateTime(kToday, QTime(14, 29, 55));
        MainWindow& w = f.load();
        for (int k : dueSlots) {
            w.slots()[k].date = DateTimeValue::fromDate(kToday);
            w.slots()[k].note = QStringLiteral("note %1").arg(k);
            w.setPickerValue(k, DateTimeValue::fromTime(QTime(14, 30)));
        }
        return w;
    }
    static void runUntil(MainWindowFixture& f, QTime t) {
        while (f.host.clock.current.time() < t) {
            f.host.clock.advance(1);
            f.window->watcher().Timer3_Timer();
        }
    }

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("sk_SK"))); }

    void aFiredSlotGivesUpItsTimeAndNote() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {3, 5});
        SSTab1(w)->setCurrentIndex(4);
        RichTextBox1(w)->setText("five");
        runUntil(f, QTime(14, 30));
        QCOMPARE(f.alerts.size(), std::size_t(2));
        QCOMPARE(f.alerts[0], std::make_pair(3, QStringLiteral("note 3")));
        QVERIFY(f.alerts[1].second.contains("five"));
        QCOMPARE(DTPicker(w)[2]->time(), QTime(0, 0));
        QCOMPARE(SSTab1(w)->tabText(2), QStringLiteral("00:00:00"));
        QCOMPARE(w.slots()[3].date, DateTimeValue::fromDate(kToday));
        QCOMPARE(w.slots()[3].note, QStringLiteral(" "));
        QCOMPARE(w.slots()[3].time, QStringLiteral("0:0:0"));
        // Slot 5's tab is current: the editor goes blank with it.
        QCOMPARE(RichTextBox1(w)->text().trimmed(), QString());
        // On disk the reminder stays as it was until its alert is confirmed.
        QVERIFY(w.saveSlots().isEmpty());
        QCOMPARE(f.note(3), QByteArray("note 3\r\n"));
        w.alertConfirmed(3);
        QVERIFY(w.saveSlots().isEmpty());
        QCOMPARE(f.note(3), QByteArray(" \r\n"));

        // Another slot's note in the editor stays.
        MainWindowFixture g;
        MainWindow& v = loadWithDue(g, {5});
        SSTab1(v)->setCurrentIndex(6);
        RichTextBox1(v)->setText("seven");
        runUntil(g, QTime(14, 30));
        QCOMPARE(RichTextBox1(v)->text(), QStringLiteral("seven"));
        QVERIFY(v.slots()[7].note.contains("seven"));
    }

    void aHiddenWindowFiresWithoutControlsAndShowsTheSlotsWhenFirstShown() {
        MainWindowFixture f;
        f.host.clock.current = QDateTime(kToday, QTime(14, 29, 58));
        const QString today = DateText::toText(DateTimeValue::fromDate(kToday));
        f.writeSettings("[Pripomin]\nRun=1\n[DAT2]\nDátum=" + today.toUtf8() +
                        "\nČas=14:30:0\n[DAT4]\nDátum=1. 1. 2031\nČas=9:15:0\n");
        f.writeNote(2, "{\\rtf1\\ansi two}\r\n");
        f.writeNote(12, "{\\rtf1\\ansi twelve}\r\n");
        MainWindow& w = f.load(true);
        runUntil(f, QTime(14, 30));
        QCOMPARE(f.alerts.size(), std::size_t(1));
        QVERIFY(f.alerts[0].second.contains("two"));
        QVERIFY(!w.controlsBuilt());
        QVERIFY(!w.findChild<QTabWidget*>());

        w.show();
        QVERIFY(w.controlsBuilt());
        QCOMPARE(DTPicker(w)[1]->time(), QTime(0, 0));
        QCOMPARE(SSTab1(w)->tabText(1), QStringLiteral("00:00:00"));
        QCOMPARE(DTPicker(w)[3]->time(), QTime(9, 15));
        QCOMPARE(SSTab1(w)->tabText(3), QStringLiteral("1. 1. 2031"));
        QCOMPARE(SSTab1(w)->currentIndex(), 11);
        QCOMPARE(RichTextBox1(w)->text(), QStringLiteral("twelve"));
        QCOMPARE(w.slots()[4].time, QStringLiteral("9:15:0"));
        // Showing is no change: the note stays as the file has it.
        QVERIFY(w.saveSlots().isEmpty());
        QCOMPARE(f.note(12), QByteArray("{\\rtf1\\ansi twelve}\r\n"));
    }

    void whileLockedOnlyTheMelodyAndTheUnlockFires() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {6, 3});
        w.setAlertsHeld(true);
        runUntil(f, QTime(14, 31));
        QVERIFY(f.alerts.empty());
        QCOMPARE(f.host.sound.played.size(), 1);
        QVERIFY(f.host.sound.played[0].endsWith("/Flauta.wav"));
        QCOMPARE(DTPicker(w)[2]->time(), QTime(14, 30));
        w.setAlertsHeld(false);
        QCOMPARE(f.alerts.size(), std::size_t(2));
        QCOMPARE(f.alerts[0], std::make_pair(3, QStringLiteral("note 3")));

        // Ended while locked: the reminder stays in its slot on disk.
        MainWindowFixture g;
        MainWindow& v = loadWithDue(g, {4});
        v.setAlertsHeld(true);
        runUntil(g, QTime(14, 30, 10));
        v.close();
        QVERIFY(v.isUnloaded());
        QVERIFY(g.settings().contains("Čas=14:30:0"));
        QVERIFY(g.note(4).contains("note 4"));
    }
};

QTEST_MAIN(FiringTest)
#include "firing.moc"
