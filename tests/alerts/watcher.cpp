// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/duerule.h"
#include "alerts/watcher.h"
#include "support/fakes.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>
#include <QTimer>
#include <array>

namespace {
const QDate kToday(2002, 3, 12);

// Twelve slots as the watcher reads them; a fired slot gives up its time, as the window does.
struct Schedule final : SlotSchedule {
    std::array<DateTimeValue, 13> dates{}, times{};
    DateTimeValue slotDate(int k) const override { return dates.at(k); }
    DateTimeValue slotTime(int k) const override { return times.at(k); }
    void set(int k, const QDate& d, QTime t) {
        dates.at(k) = DateTimeValue::fromDate(d);
        times.at(k) = DateTimeValue::fromTime(t);
    }
};

struct Rig {
    SettableClock clock{QDateTime(kToday, QTime(14, 29, 55))};
    Schedule schedule;
    Watcher watcher{clock, schedule};
    std::vector<int> fired;
    Rig() {
        QObject::connect(&watcher, &Watcher::slotDue, [this](int k) {
            fired.push_back(k);
            schedule.times.at(k) = DateTimeValue();
        });
    }
    // One check a second up to the given time of day.
    void runUntil(QTime t) {
        while (clock.current.time() < t) {
            clock.advance(1);
            watcher.Timer3_Timer();
        }
    }
};
qint64 at(const QDate& d, QTime t) {
    return DateTimeValue::fromDateTime(QDateTime(d, t)).totalSeconds();
}
} // namespace

class WatcherTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void dueRule() {
        const auto today = DateTimeValue::fromDate(kToday);
        const auto half3 = DateTimeValue::fromTime(QTime(14, 30));
        const qint64 moment = at(kToday, QTime(14, 30));
        QVERIFY(DueRule::isDue(today, half3, moment - 1, moment));
        QVERIFY(!DueRule::isDue(today, half3, moment, moment + 1));            // never a second time
        QVERIFY(!DueRule::isDue(DateTimeValue(), DateTimeValue(), -100, 100)); // zero date never fires
        // The day the picker value carries plays no part.
        const auto designDay = DateTimeValue::fromDateTime(QDateTime(QDate(2002, 2, 4), QTime(14, 30)));
        QVERIFY(DueRule::isDue(today, designDay, moment - 1, moment));
        QVERIFY(DueRule::isDue(today, half3, moment - 5, moment + 3)); // a skipped second still fires
    }

    void slotsFireOnceInTheirSecondInSlotOrder() {
        Rig r;
        r.schedule.set(5, kToday, QTime(14, 30));
        r.schedule.set(2, kToday, QTime(14, 30));
        r.schedule.set(9, kToday.addDays(1), QTime(0, 0)); // tomorrow at midnight
        r.watcher.start();
        r.runUntil(QTime(14, 29, 59));
        QVERIFY(r.fired.empty());
        r.runUntil(QTime(14, 30));
        QCOMPARE(r.fired, (std::vector<int>{2, 5}));
        r.watcher.Timer3_Timer(); // another check in the same second
        r.runUntil(QTime(23, 59, 59));
        QCOMPARE(r.fired.size(), std::size_t(2));
        r.clock.advance(1);
        r.watcher.Timer3_Timer();
        QCOMPARE(r.fired.back(), 9);
    }

    void whatCountsAsDue() {
        Rig r;
        r.schedule.set(1, kToday, QTime(14, 29, 55)); // the second of the start
        r.schedule.set(4, kToday, QTime(14, 29, 54)); // before it: not the watcher's
        r.watcher.start();
        QCOMPARE(r.watcher.watchedFrom(), at(kToday, QTime(14, 29, 55)));
        r.watcher.Timer3_Timer();
        QCOMPARE(r.fired, std::vector<int>{1});
        // A slot given the present second fires; one given a second already past does not.
        r.clock.current = QDateTime(kToday, QTime(14, 31, 0, 400));
        r.schedule.set(8, kToday, QTime(14, 31));
        r.schedule.set(3, kToday, QTime(14, 30, 59));
        r.watcher.slotChanged(3);
        r.watcher.slotChanged(8);
        QCOMPARE(r.fired, (std::vector<int>{1, 8}));
        // A late check after a skipped second still fires that second, once.
        r.schedule.set(6, kToday, QTime(14, 32));
        r.clock.current = QDateTime(kToday, QTime(14, 32, 7));
        r.watcher.Timer3_Timer();
        r.watcher.Timer3_Timer();
        QCOMPARE(r.fired, (std::vector<int>{1, 8, 6}));
    }

    void clockJumps() {
        Rig r;
        r.schedule.set(9, kToday, QTime(16, 0));
        r.schedule.set(2, kToday, QTime(20, 15));
        r.watcher.start();
        // Forward eight hours: both fire once, in slot order.
        r.clock.advance(8 * 3600);
        r.watcher.clockChanged();
        r.watcher.Timer3_Timer();
        QCOMPARE(r.fired, (std::vector<int>{2, 9}));
        // Back to the very second of a new reminder: it fires; the spent ones do not fire again.
        r.schedule.set(6, kToday, QTime(15, 0));
        r.clock.current = QDateTime(kToday, QTime(15, 0));
        r.watcher.clockChanged();
        r.runUntil(QTime(21, 0));
        QCOMPARE(r.fired, (std::vector<int>{2, 9, 6}));
    }

    void armedForTheNextMomentInRealTime() {
        Rig r;
        r.watcher.start();
        const qint64 started = at(kToday, QTime(14, 29, 55));
        QCOMPARE(r.watcher.nextCheck(), started + 59); // a minute after the last second checked
        QVERIFY(r.watcher.timer()->isActive());
        r.clock.current = QDateTime(kToday, QTime(14, 29, 55, 300));
        r.schedule.set(3, kToday, QTime(14, 30));
        r.watcher.slotChanged(3);
        // 1 ms after the due second begins: every millisecond later is a millisecond of delay.
        QCOMPARE(r.watcher.timer()->interval(), 4701);
        // Its alert is made ready three seconds before.
        QVERIFY(r.watcher.soonTimer()->isActive());
        QCOMPARE(r.watcher.soonTimer()->interval(), 1700);
        r.schedule.set(3, kToday.addDays(1), QTime(9, 0));
        r.watcher.slotChanged(3);
        QCOMPARE(r.watcher.nextCheck(), started + 60);
        // Tomorrow's slot is made ready at a later check, not now.
        QVERIFY(!r.watcher.soonTimer()->isActive());
    }

    // Local time as the zone gives it: a slot fires in the second its local time comes, however the
    // offset changes meanwhile, and the timer is armed for that instant in real time.
    void localTimeAcrossOffsetChanges_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("start"); // in UTC: the local 02:59:50 of the autumn night comes twice
        QTest::addColumn<QDateTime>("due");   // the slot's local date and time
        QTest::addColumn<int>("firstWakeMs"); // the timer armed after the slot was given
        QTest::addColumn<int>("firesAfter");  // real seconds after the start
        const QDate spring(2027, 3, 28), autumn(2027, 10, 31), lordHowe(2027, 10, 3);
        const auto utc = [](QDate d, QTime t) { return QDateTime(d, t, Qt::UTC); };
        const QByteArray bratislava("Europe/Bratislava");
        // 01:59:54 CET
        QTest::newRow("spring forward")
            << bratislava << utc(spring, QTime(0, 59, 54)) << QDateTime(spring, QTime(3, 0, 4)) << 6001 << 10;
        QTest::newRow("in the skipped hour")
            << bratislava << utc(spring, QTime(0, 59, 54)) << QDateTime(spring, QTime(2, 30)) << 6001 << 6;
        // 02:59:50 CEST, ten seconds before the clocks go back to 02:00 CET
        QTest::newRow("before the clocks go back") << bratislava << utc(autumn, QTime(0, 59, 50))
                                                   << QDateTime(autumn, QTime(2, 59, 58)) << 8001 << 8;
        QTest::newRow("after the clocks go back") << bratislava << utc(autumn, QTime(0, 59, 50))
                                                  << QDateTime(autumn, QTime(3, 0, 5)) << 10001 << 3600 + 15;
        // 01:59:58 at +10:30, two seconds before the clocks go forward half an hour
        QTest::newRow("half-hour change")
            << QByteArray("Australia/Lord_Howe") << utc(lordHowe.addDays(-1), QTime(15, 29, 58))
            << QDateTime(lordHowe, QTime(2, 30, 1)) << 2001 << 3;
        // 23:59:54 CET: the watcher wakes at midnight first
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
        Rig r;
        r.clock.current = start.toTimeZone(tz);
        r.watcher.start();
        r.schedule.set(5, due.date(), due.time());
        r.watcher.slotChanged(5);
        QCOMPARE(r.watcher.timer()->interval(), firstWakeMs);
        // Two hours of checks, one a second: it fires once, in its second.
        int firedAt = 0;
        for (int s = 1; s <= 7200; ++s) {
            r.clock.current = start.toTimeZone(tz).addSecs(s);
            r.watcher.Timer3_Timer();
            if (!firedAt && !r.fired.empty())
                firedAt = s;
        }
        QCOMPARE(firedAt, firesAfter);
        QCOMPARE(r.fired.size(), std::size_t(1));
    }

    void dayChangesAreTold() {
        Rig r;
        r.clock.current = QDateTime(kToday, QTime(23, 59, 59));
        r.watcher.start();
        QSignalSpy days(&r.watcher, &Watcher::dayChanged);
        QCOMPARE(r.watcher.timer()->interval(), 1001);
        r.clock.advance(1);
        r.watcher.Timer3_Timer();
        QCOMPARE(days.count(), 1);
        r.clock.advance(-3600); // set back across midnight
        r.watcher.clockChanged();
        QCOMPARE(days.count(), 2);
    }

    void whileHeldDueSlotsAreOnlyToldAndFireAtTheRelease() {
        Rig r;
        r.schedule.set(6, kToday, QTime(14, 30));
        r.schedule.set(3, kToday, QTime(14, 30));
        r.watcher.start();
        QSignalSpy held(&r.watcher, &Watcher::heldSlotDue);
        r.watcher.setHeld(true);
        QCOMPARE(r.watcher.nextCheck(), at(kToday, QTime(14, 30)));
        r.runUntil(QTime(14, 31));
        QVERIFY(r.fired.empty());
        QCOMPARE(held.count(), 1); // once for the second both fell due in
        r.watcher.setHeld(false);
        QCOMPARE(r.fired, (std::vector<int>{3, 6}));
        r.runUntil(QTime(14, 35));
        QCOMPARE(r.fired.size(), std::size_t(2));
        QCOMPARE(held.count(), 1);
    }
};

QTEST_MAIN(WatcherTest)
#include "watcher.moc"
