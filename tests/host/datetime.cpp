// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/datetime.h"

#include <QTest>

class DateTimeTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void valuesCountDaysSince1899() {
        QCOMPARE(DateTimeValue::fromDate(QDate(1899, 12, 30)).days(), 0.0);
        QCOMPARE(DateTimeValue::fromDate(QDate(2002, 3, 12)).days(), 37327.0);
        const auto v = DateTimeValue::fromDateTime(QDateTime(QDate(2002, 3, 12), QTime(18, 0)));
        QCOMPARE(v.days(), 37327.75);
        QCOMPARE(v.date(), QDate(2002, 3, 12));
        QCOMPARE(v.timeOfDay(), QTime(18, 0));
        QCOMPARE(DateTimeValue::fromTime(QTime(6, 0)).days(), 0.25);
        QVERIFY(DateTimeValue().isZero());
        // Before 1899 the fraction still counts forward from the day's midnight.
        const auto old = DateTimeValue::fromDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
        QCOMPARE(old.days(), -1.25);
        QCOMPARE(old.date(), QDate(1899, 12, 29));
        QCOMPARE(old.timeOfDay(), QTime(6, 0));
    }

    void everySecondOfADaySurvivesTheFraction() {
        const QDate day(2026, 12, 9);
        for (int s = 0; s < 86400; s += 7) {
            const QDateTime dt(day, QTime(0, 0).addSecs(s));
            const auto v = DateTimeValue::fromDateTime(dt);
            QCOMPARE(v.toDateTime(), dt);
        }
    }

    void textFormsRoundTrip_data() {
        QTest::addColumn<QString>("locale");
        QTest::newRow("sk_SK") << "sk_SK";
        QTest::newRow("en_US") << "en_US";
        QTest::newRow("C") << "C";
    }
    void textFormsRoundTrip() {
        QFETCH(QString, locale);
        const QLocale l(locale);
        const DateTimeValue values[] = {
            DateTimeValue(),
            DateTimeValue::fromDate(QDate(2002, 3, 12)),
            DateTimeValue::fromTime(QTime(14, 30, 5)),
            DateTimeValue::fromDateTime(QDateTime(QDate(2031, 12, 31), QTime(23, 59, 59))),
            DateTimeValue::fromDate(QDate(1999, 1, 1)),
        };
        for (const auto& v : values) {
            const QString text = DateText::toText(v, l);
            QVERIFY2(!text.isEmpty(), qPrintable(text));
            const auto back = DateText::tryParse(text, l);
            QVERIFY2(back.has_value(), qPrintable(text));
            QCOMPARE(back->totalSeconds(), v.totalSeconds());
        }
        // Four-digit years always: a two-digit year would come back in another century.
        QVERIFY(DateText::dateText(QDate(2002, 3, 12), l).contains(QLatin1String("2002")));
        QVERIFY(!DateText::timeFormat(l).contains(QLatin1Char('t')));
    }

    void slovakFormsAsTheOverviewShowsThem() {
        const QLocale sk(QStringLiteral("sk_SK"));
        QCOMPARE(DateText::toText(DateTimeValue(), sk), QStringLiteral("0:00:00"));
        QCOMPARE(DateText::timeText(QTime(14, 30), sk), QStringLiteral("14:30:00"));
        const QString both =
            DateText::toText(DateTimeValue::fromDateTime(QDateTime(QDate(2002, 3, 12), QTime(14, 30))), sk);
        QVERIFY(both.endsWith(QStringLiteral(" 14:30:00")));
    }

    void readsFilesFromOtherMachines() {
        const QLocale us(QStringLiteral("en_US"));
        const auto expected = DateTimeValue::fromDate(QDate(2002, 3, 12));
        for (const char* text : {"12.3.2002", "12. 3. 2002", "12.03.2002", "2002-03-12"})
            QCOMPARE(DateText::parse(QString::fromLatin1(text), us), expected);
        QCOMPARE(DateText::parse(QStringLiteral("0:00:00"), us), DateTimeValue());
        QCOMPARE(DateText::tryParseTime(QStringLiteral("9:5:0"), us), QTime(9, 5, 0));
        QCOMPARE(DateText::parse(QStringLiteral("12.3.2002 14:30:00"), us).timeOfDay(), QTime(14, 30));
    }

    void garbageIsNoDate() {
        const QLocale sk(QStringLiteral("sk_SK"));
        for (const char* text : {"", "Error", "31.2.2002", "25:00:00", "\xff\xfe garbage", "1.1.1.1.1"})
            QVERIFY2(!DateText::tryParse(QString::fromLatin1(text), sk), text);
        QCOMPARE(DateText::parse(QString(5000, QLatin1Char('9')), sk), DateTimeValue());
    }
};

QTEST_GUILESS_MAIN(DateTimeTest)
#include "datetime.moc"
