// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/clockchanges.h"

#include <QSignalSpy>
#include <QTest>

class ClockChangesTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void wakingFromSleepCountsAsAClockChange() {
        ClockChanges changes;
        QSignalSpy spy(&changes, &ClockChanges::changed);
        // As logind's PrepareForSleep announces it: true before sleeping, false after waking.
        QVERIFY(QMetaObject::invokeMethod(&changes, "onPrepareForSleep", Q_ARG(bool, true)));
        QCOMPARE(spy.count(), 0);
        QVERIFY(QMetaObject::invokeMethod(&changes, "onPrepareForSleep", Q_ARG(bool, false)));
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_GUILESS_MAIN(ClockChangesTest)
#include "clockchanges.moc"
