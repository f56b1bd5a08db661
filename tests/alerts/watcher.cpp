#include "support/mainwindowfixture.h"

#include "alerts/duerule.h"
#include "host/richtextbox.h"

#include <QDateTimeEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimeZone>
#include <QTimer>

namespace {
const QDate kToday(2002, 3, 12);
qint64 at(const QDate& d, QTime t) {
    return DateTimeValue::fromDateTime(QDateTime(d, t)).totalSeconds();
}
} // namespace

class WatcherTest : public QObject {
    Q_OBJECT

    // A window loaded at 14:29:55 on kToday with slot k due at 14:30:00.
    static MainWindow& loadWithDue(MainWindowFixture& f, std::initializer_list<int> dueSlots,
                                   QTime due = QTime(14, 30)) {
        f.host.clock.current = QDateTime(kToday, QTime(14, 29, 55));
        MainWindow& w = f.load();
        for (int k : dueSlots) {
            w.slots[k].date = DateTimeValue::fromDate(kToday);
            w.slots[k].note = QStringLiteral("note %1").arg(k);
            w.setPickerValue(k, DateTimeValue::fromTime(due));
        }
        return w;
    }
    // One tick per second, as the timer gives them.
    static void runUntil(MainWindowFixture& f, QTime t) {
        while (f.host.clock.current.time() < t) {
            f.host.clock.advance(1);
            f.window->Timer3_Timer();
        }
    }

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("sk_SK"))); }

    void dueRule() {
        const auto today = DateTimeValue::fromDate(kToday);
        const auto half3 = DateTimeValue::fromTime(QTime(14, 30));
        const qint64 moment = at(kToday, QTime(14, 30));
        QVERIFY(DueRule::isDue(today, half3, moment - 1, moment));
        QVERIFY(!DueRule::isDue(today, half3, moment, moment + 1)); // never a second time
        QVERIFY(!DueRule::isDue(today, half3, moment - 2, moment - 1));
        QVERIFY(!DueRule::isDue(DateTimeValue(), DateTimeValue(), -100, 100)); // zero date never fires
        // The day the picker value carries plays no part.
        const auto designDay = DateTimeValue::fromDateTime(QDateTime(QDate(2002, 2, 4), QTime(14, 30)));
        QVERIFY(DueRule::isDue(today, designDay, moment - 1, moment));
        // A skipped second still fires at the next check.
        QVERIFY(DueRule::isDue(today, half3, moment - 5, moment + 3));
        // Midnight of tomorrow.
        const auto tomorrow = DateTimeValue::fromDate(kToday.addDays(1));
        const qint64 midnight = at(kToday.addDays(1), QTime(0, 0));
        QVERIFY(DueRule::isDue(tomorrow, DateTimeValue(), midnight - 1, midnight));
    }

    void aSlotFiresOnceAtItsSecond() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {3});
        w.SSTab1->setCurrentIndex(0);
        runUntil(f, QTime(14, 29, 59));
        QVERIFY(f.alerts.empty());
        runUntil(f, QTime(14, 30, 0));
        QCOMPARE(f.alerts.size(), std::size_t(1));
        QCOMPARE(f.alerts[0], std::make_pair(3, QStringLiteral("note 3")));
        QCOMPARE(w.DTPicker[2]->dateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
        QCOMPARE(w.SSTab1->tabText(2), QStringLiteral("00:00:00"));
        QCOMPARE(w.slots[3].date, DateTimeValue::fromDate(kToday));
        QCOMPARE(w.slots[3].note, QStringLiteral(" "));
        QCOMPARE(w.slots[3].time, QStringLiteral("0:0:0"));
        // Another tick in the same second, and the rest of the day: nothing more.
        w.Timer3_Timer();
        runUntil(f, QTime(23, 59, 59));
        QCOMPARE(f.alerts.size(), std::size_t(1));
    }

    void theNoteIsBlankedOnlyInItsOwnSlot() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {5});
        w.SSTab1->setCurrentIndex(6);
        w.RichTextBox1->setText("seven");
        const QString seven = w.slots[7].note;
        runUntil(f, QTime(14, 30));
        QCOMPARE(w.slots[7].note, seven);
        QCOMPARE(w.RichTextBox1->text(), QStringLiteral("seven"));
        QCOMPARE(f.alerts.at(0).second, QStringLiteral("note 5"));

        // When the slot's own tab is current, the editor goes blank with it.
        MainWindowFixture g;
        MainWindow& v = loadWithDue(g, {5});
        v.SSTab1->setCurrentIndex(4);
        v.RichTextBox1->setText("five");
        runUntil(g, QTime(14, 30));
        QVERIFY(g.alerts.at(0).second.contains("five"));
        QCOMPARE(v.RichTextBox1->text().trimmed(), QString());
    }

    void slotsDueInTheSameSecondOpenInSlotOrder() {
        MainWindowFixture f;
        loadWithDue(f, {5, 2});
        runUntil(f, QTime(14, 30));
        QCOMPARE(f.alerts.size(), std::size_t(2));
        QCOMPARE(f.alerts[0].first, 2);
        QCOMPARE(f.alerts[1].first, 5);
    }

    void aSkippedSecondStillFiresOnce() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {1});
        f.host.clock.current = QDateTime(kToday, QTime(14, 30, 7)); // the machine was busy
        w.Timer3_Timer();
        QCOMPARE(f.alerts.size(), std::size_t(1));
        w.Timer3_Timer();
        QCOMPARE(f.alerts.size(), std::size_t(1));
    }

    void theSecondOfTheStartAndOfAnEditFires() {
        MainWindowFixture f;
        f.host.clock.current = QDateTime(kToday, QTime(15, 0));
        f.writeSettings("[Pripomin]\nRun=1\n[DAT1]\nDátum=" + DateText::dateText(kToday).toUtf8() +
                        "\nČas=15:0:0\n");
        MainWindow& w = f.load();
        w.Timer3_Timer();
        QCOMPARE(f.alerts.size(), std::size_t(1));
        // A slot given the present second fires at once.
        f.host.clock.current = QDateTime(kToday, QTime(15, 2, 0, 400));
        w.slots[8].date = DateTimeValue::fromDate(kToday);
        w.setPickerValue(8, DateTimeValue::fromTime(QTime(15, 2)));
        QCOMPARE(f.alerts.size(), std::size_t(2));
        QCOMPARE(f.alerts[1].first, 8);
    }

    // Local time as the zone gives it: a slot fires in the second its local time comes, however the
    // offset changes meanwhile, and the timer is armed for that instant in real time.
    void localTimeAcrossOffsetChanges_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("start");   // in UTC: the local 02:59:50 of the autumn night comes twice
        QTest::addColumn<QDateTime>("due");     // the slot's local date and time
        QTest::addColumn<int>("firstWakeMs");   // the timer armed after the slot was given
        QTest::addColumn<int>("firesAfter");    // real seconds after the start
        const QDate spring(2027, 3, 28), autumn(2027, 10, 31), lordHowe(2027, 10, 3);
        const auto utc = [](QDate d, QTime t) { return QDateTime(d, t, Qt::UTC); };
        const QByteArray bratislava("Europe/Bratislava");
        // 01:59:54 CET
        QTest::newRow("spring forward") << bratislava << utc(spring, QTime(0, 59, 54))
                                        << QDateTime(spring, QTime(3, 0, 4)) << 6001 << 10;
        QTest::newRow("in the skipped hour") << bratislava << utc(spring, QTime(0, 59, 54))
                                             << QDateTime(spring, QTime(2, 30)) << 6001 << 6;
        // 02:59:50 CEST, ten seconds before the clocks go back to 02:00 CET
        QTest::newRow("before the clocks go back")
            << bratislava << utc(autumn, QTime(0, 59, 50)) << QDateTime(autumn, QTime(2, 59, 58)) << 8001 << 8;
        QTest::newRow("after the clocks go back")
            << bratislava << utc(autumn, QTime(0, 59, 50)) << QDateTime(autumn, QTime(3, 0, 5)) << 10001 << 3600 + 15;
        // 01:59:58 at +10:30, two seconds before the clocks go forward half an hour
        QTest::newRow("half-hour change") << QByteArray("Australia/Lord_Howe") << utc(lordHowe.addDays(-1), QTime(15, 29, 58))
                                          << QDateTime(lordHowe, QTime(2, 30, 1)) << 2001 << 3;
        // 23:59:54 CET
        QTest::newRow("past midnight") << bratislava << utc(kToday, QTime(22, 59, 54))
                                       << QDateTime(kToday.addDays(1), QTime(0, 0, 4)) << 6001 << 10;
    }
    void localTimeAcrossOffsetChanges() {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, start);
        QFETCH(QDateTime, due);
        QFETCH(int, firstWakeMs);
        QFETCH(int, firesAfter);
        const QTimeZone tz(zone);
        QVERIFY(tz.isValid());
        MainWindowFixture f;
        f.host.clock.current = start.toTimeZone(tz);
        const QDateTime started = f.host.clock.current;
        MainWindow& w = f.load();
        w.slots[5].date = DateTimeValue::fromDate(due.date());
        w.setPickerValue(5, DateTimeValue::fromTime(due.time()));
        QCOMPARE(w.Timer3->interval(), firstWakeMs);
        // Two hours of ticks, one a second: it fires once, in its second.
        int firedAt = 0;
        for (int s = 1; s <= 7200; ++s) {
            f.host.clock.current = started.addSecs(s);
            w.Timer3_Timer();
            if (!firedAt && !f.alerts.empty())
                firedAt = s;
        }
        QCOMPARE(firedAt, firesAfter);
        QCOMPARE(f.alerts.size(), std::size_t(1));
    }

    void aClockSetBackFiresNothingTwice() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {4, 6});
        runUntil(f, QTime(14, 30));
        QCOMPARE(f.alerts.size(), std::size_t(2));
        // Slot 6 gets a new time later today; then the clock goes back an hour.
        w.setPickerValue(6, DateTimeValue::fromTime(QTime(14, 40)));
        f.host.clock.current = QDateTime(kToday, QTime(13, 30));
        w.Timer3_Timer();
        runUntil(f, QTime(14, 39, 59));
        QCOMPARE(f.alerts.size(), std::size_t(2));
        runUntil(f, QTime(14, 40));
        QCOMPARE(f.alerts.size(), std::size_t(3));
        QCOMPARE(f.alerts[2].first, 6);
    }

    void armedForTheNextDueSlotOrAMinuteOn() {
        MainWindowFixture f;
        f.host.clock.current = QDateTime(kToday, QTime(14, 29, 55));
        MainWindow& w = f.load();
        const qint64 loaded = at(kToday, QTime(14, 29, 55));
        QCOMPARE(w.nextCheck(), loaded + 59); // a minute after the last second checked
        QVERIFY(w.Timer3->isActive());
        QVERIFY(w.Timer3->remainingTime() > 58000);
        w.slots[3].date = DateTimeValue::fromDate(kToday);
        w.setPickerValue(3, DateTimeValue::fromTime(QTime(14, 30)));
        QCOMPARE(w.nextCheck(), at(kToday, QTime(14, 30)));
        // Just after the due second begins: every millisecond later is a millisecond of the alert's delay.
        QVERIFY(w.Timer3->remainingTime() > 4900 && w.Timer3->remainingTime() <= 5001);
        // A slot of another day farther than a minute: the safety check comes first.
        w.slots[3].date = DateTimeValue::fromDate(kToday.addDays(1));
        w.setPickerValue(3, DateTimeValue::fromTime(QTime(9, 0)));
        QCOMPARE(w.nextCheck(), loaded + 60);
    }

    void aTimeSetInThePastDoesNotFire() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {7}, QTime(14, 31));
        f.host.clock.current = QDateTime(kToday, QTime(14, 30, 20)); // no tick since the load
        w.slots[2].date = DateTimeValue::fromDate(kToday);
        w.setPickerValue(2, DateTimeValue::fromTime(QTime(14, 30, 0)));
        f.host.clock.advance(1);
        w.Timer3_Timer();
        QVERIFY(f.alerts.empty());
        runUntil(f, QTime(14, 31));
        QCOMPARE(f.alerts.size(), std::size_t(1));
        QCOMPARE(f.alerts[0].first, 7);
    }

    void aChangeElsewhereStillFiresWhatFellDueMeanwhile() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {4});
        // The timer was late: the user edits slot 9 just after slot 4's second.
        f.host.clock.current = QDateTime(kToday, QTime(14, 30, 0, 300));
        w.setPickerValue(9, DateTimeValue::fromTime(QTime(18, 0)));
        QCOMPARE(f.alerts.size(), std::size_t(1));
        QCOMPARE(f.alerts[0].first, 4);
    }

    void aClockChangeOrAResumeChecksAtOnce() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {11}, QTime(16, 0));
        f.host.clock.advance(3 * 3600);
        w.clockChanged();
        QCOMPARE(f.alerts.size(), std::size_t(1));
        QCOMPARE(f.alerts[0].first, 11);
    }

    void aJumpForwardFiresEveryPassedSlotOnceInOrder() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {9}, QTime(16, 0));
        w.slots[2].date = DateTimeValue::fromDate(kToday);
        w.setPickerValue(2, DateTimeValue::fromTime(QTime(20, 15)));
        f.host.clock.advance(8 * 3600);
        w.Timer3_Timer();
        QCOMPARE(f.alerts.size(), std::size_t(2));
        QCOMPARE(f.alerts[0].first, 2);
        QCOMPARE(f.alerts[1].first, 9);
        w.Timer3_Timer();
        QCOMPARE(f.alerts.size(), std::size_t(2));
    }

    void whileLockedADueSlotOnlySoundsAndFiresAtTheUnlock() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {6, 3});
        w.setAlertsHeld(true);
        QCOMPARE(w.nextCheck(), at(kToday, QTime(14, 30)));
        runUntil(f, QTime(14, 31));
        QVERIFY(f.alerts.empty());
        // One sound for the second both fell due in, none after it.
        QCOMPARE(f.host.sound.played.size(), 1);
        QVERIFY(f.host.sound.played[0].endsWith("/Flauta.wav"));
        QCOMPARE(w.slots[3].note, QStringLiteral("note 3"));
        QCOMPARE(w.DTPicker[2]->time(), QTime(14, 30));

        w.setAlertsHeld(false);
        QCOMPARE(f.alerts.size(), std::size_t(2));
        QCOMPARE(f.alerts[0], std::make_pair(3, QStringLiteral("note 3")));
        QCOMPARE(f.alerts[1], std::make_pair(6, QStringLiteral("note 6")));
        QCOMPARE(w.slots[3].note, QStringLiteral(" "));
        runUntil(f, QTime(14, 35));
        QCOMPARE(f.alerts.size(), std::size_t(2));
        QCOMPARE(f.host.sound.played.size(), 1);
    }

    void endedWhileLockedKeepsTheReminder() {
        MainWindowFixture f;
        MainWindow& w = loadWithDue(f, {4});
        w.setAlertsHeld(true);
        runUntil(f, QTime(14, 30, 10));
        w.close();
        QVERIFY(w.isUnloaded());
        QVERIFY(f.settings().contains("Čas=14:30:0"));
        QVERIFY(f.note(4).contains("note 4"));
        QVERIFY(f.alerts.empty());
    }
};

QTEST_MAIN(WatcherTest)
#include "watcher.moc"
