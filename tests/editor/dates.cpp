// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/mainwindowfixture.h"

#include "editor/dateentry.h"
#include "editor/todaydisplay.h"
#include "editor/toolbarcontrol.h"
#include "host/richtextbox.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

class DatesTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("sk_SK"))); }

    void weekdayNamesAreTheRealDayInEveryLocale() {
        QCOMPARE(TodayDisplay::weekdayName(QDate(2002, 3, 13)), QStringLiteral(" STREDA"));
        QCOMPARE(TodayDisplay::weekdayName(QDate(2002, 3, 17)), QStringLiteral(" NEDEĽA"));
        // A week that starts on Sunday does not shift the names.
        QCOMPARE(TodayDisplay::legendText(QDate(2002, 3, 14), QLocale(QStringLiteral("en_US"))),
                 QStringLiteral("3/14/2002 ŠTVRTOK"));
    }

    void legendAndWeekdayFollowTheDate() {
        MainWindowFixture f;
        f.host.clock.current = QDateTime(QDate(2002, 3, 12), QTime(23, 59, 59)); // a Tuesday
        MainWindow& w = f.load();
        QCOMPARE(w.todayWeekdayName, QStringLiteral(" UTOROK"));
        QCOMPARE(Lišta1(w)->textTool("ID_Legend")->text(),
                 DateText::dateText(QDate(2002, 3, 12)) + " UTOROK");
        // The watcher is armed for midnight, and its tick turns the day over.
        QCOMPARE(w.watcher().timer()->interval(), 1001);
        f.host.clock.advance(1);
        w.watcher().Timer3_Timer();
        QCOMPARE(w.todayWeekdayName, QStringLiteral(" STREDA"));
        QCOMPARE(Lišta1(w)->textTool("ID_Legend")->text(),
                 DateText::dateText(QDate(2002, 3, 13)) + " STREDA");
        // So does a clock set back across midnight.
        f.host.clock.advance(-3600);
        w.watcher().clockChanged();
        QCOMPARE(w.todayWeekdayName, QStringLiteral(" UTOROK"));
    }

    void boldDaysEverySeventhNeverTheLast() {
        QCOMPARE(DateEntry::boldDayEntries(7), std::vector<int>{});
        QCOMPARE(DateEntry::boldDayEntries(8), std::vector<int>{6});
        QCOMPARE(DateEntry::boldDayEntries(42), (std::vector<int>{6, 13, 20, 27, 34}));
    }

    void aDayTodayOrLaterBecomesTheSlotsDate() {
        MainWindowFixture f;
        f.host.clock.current = QDateTime(QDate(2002, 3, 12), QTime(18, 0));
        MainWindow& w = f.load();
        SSTab1(w)->setCurrentIndex(3);
        DTPicker(w)[3]->setTime(QTime(8, 0)); // already passed today: still accepted
        MonthView1(w)->setSelectedDate(QDate(2002, 3, 12));
        QCOMPARE(w.slots()[4].date, DateTimeValue::fromDate(QDate(2002, 3, 12)));
        QCOMPARE(SSTab1(w)->tabText(3), DateText::dateText(QDate(2002, 3, 12)));
        QVERIFY(f.host.boxes.shown.empty());
    }

    void aPastDayIsRefusedWithTheWarning() {
        MainWindowFixture f;
        f.host.clock.current = QDateTime(QDate(2002, 3, 12), QTime(18, 0, 5));
        MainWindow& w = f.load();
        SSTab1(w)->setCurrentIndex(11);
        w.slots()[1].date = DateTimeValue::fromDate(QDate(2002, 4, 1));
        DTPicker(w)[11]->setDateTime(QDateTime(QDate(1899, 12, 30), QTime(14, 30)));
        MonthView1(w)->setSelectedDate(QDate(2002, 3, 11));
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(1));
        const auto& box = f.host.boxes.shown[0];
        QCOMPARE(box.title, QStringLiteral("Chyba v definícii dátumu"));
        QCOMPARE(box.style, 48);
        const QStringList lines = box.text.split("\r\n");
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QStringLiteral("      Urobili Ste chybu. Chcete vytvoriť ODKAZ"));
        QCOMPARE(lines[1], QStringLiteral("ktorého deň aktivácie je definovaný do minulosti."));
        QCOMPARE(lines[2], QStringLiteral("                         ODKAZ má hodnotu: "));
        QCOMPARE(lines[3], "          dátum: " + DateText::dateText(QDate(2002, 3, 11)) + "   čas: 14:30:00");
        QCOMPARE(lines[4],
                 "                  Dnes je: " + DateText::dateText(QDate(2002, 3, 12)) + " 18:00:05");
        QVERIFY(w.slots()[12].date.isZero());
        QCOMPARE(SSTab1(w)->tabText(11), QStringLiteral("00:00:00"));
        QCOMPARE(w.slots()[1].date, DateTimeValue::fromDate(QDate(2002, 4, 1))); // others keep theirs
        // A later day afterwards is stored normally.
        MonthView1(w)->setSelectedDate(QDate(2002, 3, 20));
        QCOMPARE(w.slots()[12].date, DateTimeValue::fromDate(QDate(2002, 3, 20)));
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(1));
    }

    // The calendar keeps showing the day chosen for the previous tab; clicking that same day on
    // another tab must give this slot the day too, and a click that changes the day acts once.
    void clickingTheSelectedDayChoosesItForTheCurrentSlot() {
        MainWindowFixture f;
        f.host.clock.current = QDateTime(QDate(2002, 3, 12), QTime(18, 0));
        MainWindow& w = f.load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        MonthView1(w)->setSelectedDate(QDate(2002, 3, 20));
        SSTab1(w)->setCurrentIndex(0);
        MonthView1(w)->setSelectedDate(QDate(2002, 3, 20));
        SSTab1(w)->setCurrentIndex(1);
        QVERIFY(w.slots()[2].date.isZero());

        clickDay(w, 20);
        QCOMPARE(w.slots()[2].date, DateTimeValue::fromDate(QDate(2002, 3, 20)));
        QCOMPARE(SSTab1(w)->tabText(1), DateText::dateText(QDate(2002, 3, 20)));

        // A past day clicked: one warning, not one for the change and one for the click.
        clickDay(w, 5);
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(1));
        QVERIFY(w.slots()[2].date.isZero());
        // Clicked again, the refused day warns again.
        clickDay(w, 5);
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(2));
    }

  private:
    static void clickDay(MainWindow& w, int day) {
        auto* view = MonthView1(w)->findChild<QAbstractItemView*>();
        QVERIFY(view);
        const QAbstractItemModel* model = view->model();
        for (int row = 1; row < model->rowCount(); ++row)
            for (int column = 0; column < model->columnCount(); ++column) {
                const QModelIndex cell = model->index(row, column);
                // The first week may show days of the previous month, the last two of the next.
                const int shown = cell.data().toInt();
                const bool otherMonth = (row == 1 && shown > 7) || (row >= 5 && shown < 15);
                if (shown == day && !otherMonth) {
                    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
                    return;
                }
            }
        QFAIL("no such day shown");
    }
};

QTEST_MAIN(DatesTest)
#include "dates.moc"
