// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/mainwindowfixture.h"

#include "editor/toolbarcontrol.h"
#include "host/richtextbox.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

namespace {
const QDate kToday(2002, 3, 12);

QByteArray settingsWith(std::initializer_list<std::pair<int, QDate>> dated, QTime time = QTime(9, 0)) {
    QByteArray text = "[Pripomin]\nRun=1\n";
    for (const auto& [k, day] : dated)
        text += QStringLiteral("[DAT%1]\nDátum=%2\nČas=%3\n")
                    .arg(k)
                    .arg(DateText::dateText(day))
                    .arg(slotTimeText(time))
                    .toUtf8();
    return text;
}
} // namespace

class ForgottenTest : public QObject {
    Q_OBJECT

    static MainWindow& start(MainWindowFixture& f, std::initializer_list<std::pair<int, QDate>> dated,
                             std::deque<int> answers = {}) {
        f.host.clock.current = QDateTime(kToday, QTime(10, 0));
        f.writeSettings(settingsWith(dated));
        f.host.boxes.answers = std::move(answers);
        return f.load();
    }

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("sk_SK"))); }

    void nothingDatedNothingAsked() {
        MainWindowFixture f;
        // Today at 00:00:00 is what a fired reminder leaves; today later on is still to come.
        f.host.clock.current = QDateTime(kToday, QTime(10, 0));
        const QByteArray day = DateText::dateText(kToday).toUtf8();
        f.writeSettings("[Pripomin]\nRun=1\n[DAT4]\nDátum=" + day + "\nČas=0:0:0\n[DAT5]\nDátum=" + day +
                        "\nČas=10:0:0\n");
        MainWindow& w = f.load();
        QVERIFY(f.host.boxes.shown.empty());
        QCOMPARE(w.forgottenBox().count, 0);
        QCOMPARE(Lišta1(w)->combo("ID_Odkazy")->currentText(), QStringLiteral("V schránke nie sú odkazy"));
        QVERIFY(Lišta1(w)->toolbar(2)->isHidden());
    }

    void pastSlotsAreFoundInSlotOrderAndAsked() {
        MainWindowFixture f;
        MainWindow& w = start(f, {{7, kToday.addDays(-30)}, {3, kToday.addDays(-1)}}, {MessageBoxes::Cancel});
        QCOMPARE(w.forgottenBox().count, 2);
        QCOMPARE(w.forgottenBox().entry(3).isForgotten, qint16(1));
        QCOMPARE(w.forgottenBox().entry(7).isForgotten, qint16(1));
        QCOMPARE(w.forgottenBox().entry(4).isForgotten, qint16(0));
        QCOMPARE(w.forgottenBox().entry(3).timeText, QStringLiteral("9:00:00"));
        QCOMPARE(w.forgottenBox().entry(3).dateText, DateText::dateText(kToday.addDays(-1)));
        QComboBox* list = Lišta1(w)->combo("ID_Odkazy");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->itemText(0), "Odkaz z dňa: " + DateText::dateText(kToday.addDays(-1)));
        QCOMPARE(list->itemText(1), "Odkaz z dňa: " + DateText::dateText(kToday.addDays(-30)));
        QCOMPARE(list->currentText(), QStringLiteral("Počet odkazov v schránke:2"));
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(1));
        const auto& box = f.host.boxes.shown[0];
        QCOMPARE(box.title, QStringLiteral("Zabudnuté odkazy v programe Pripomin"));
        QCOMPARE(box.style, 4163);
        QCOMPARE(box.text,
                 QStringLiteral("Váš počítač pravdepodobne nebol zapnutý a tak\r\nSte si nevyzdvihli vami "
                                "naplánované odkazy.\r\n Chcete ich vymazať?"));
        // Cancel: the menu is back, nothing is deleted.
        QVERIFY(!Lišta1(w)->toolbar(1)->isHidden());
        QVERIFY(Lišta1(w)->toolbar(2)->isHidden());
        QCOMPARE(w.slots()[3].date, DateTimeValue::fromDate(kToday.addDays(-1)));
    }

    void yesterdayAtMidnightAndAllTwelve() {
        MainWindowFixture f;
        f.host.clock.current = QDateTime(kToday, QTime(0, 0, 1));
        QByteArray text = "[Pripomin]\nRun=1\n";
        for (int k = 1; k <= 12; ++k)
            text += QStringLiteral("[DAT%1]\nDátum=%2\nČas=0:0:0\n")
                        .arg(k)
                        .arg(DateText::dateText(kToday.addDays(-k)))
                        .toUtf8();
        f.writeSettings(text);
        f.host.boxes.answers = {MessageBoxes::Cancel};
        MainWindow& w = f.load();
        QCOMPARE(w.forgottenBox().count, 12);
        QCOMPARE(Lišta1(w)->combo("ID_Odkazy")->count(), 12);
        QCOMPARE(Lišta1(w)->combo("ID_Odkazy")->currentText(), QStringLiteral("Počet odkazov v schránke:12"));
    }

    void yesDeletesOnlyThePastSlots() {
        MainWindowFixture f;
        // Slot 12's tab is current at start, so the editor shows its note until it is deleted.
        f.writeNote(12, "{\\rtf1 old twelve}");
        MainWindow& w = start(f,
                              {{2, kToday.addDays(-1)},
                               {9, kToday.addDays(-3)},
                               {10, kToday},
                               {11, kToday.addDays(5)},
                               {12, kToday.addDays(-1)}},
                              {MessageBoxes::Yes});
        QCOMPARE(w.forgottenBox().count, 4); // slot 10 fell due at 9:00, before the start
        for (int k : {2, 9, 10, 12}) {
            QVERIFY(w.slots()[k].date.isZero());
            QCOMPARE(w.slots()[k].note, QStringLiteral(" "));
            QCOMPARE(SSTab1(w)->tabText(k - 1), QStringLiteral("00:00:00"));
            QCOMPARE(DTPicker(w)[k - 1]->time(), QTime(0, 0));
        }
        QCOMPARE(w.slots()[11].date, DateTimeValue::fromDate(kToday.addDays(5)));
        QCOMPARE(Lišta1(w)->combo("ID_Odkazy")->count(), 0);
        QCOMPARE(Lišta1(w)->combo("ID_Odkazy")->currentText(), QStringLiteral("V schránke nie sú odkazy"));
        QVERIFY(!Lišta1(w)->toolbar(1)->isHidden());
        QCOMPARE(w.forgottenBox().count, 4); // the box keeps its entries all run long
        QCOMPARE(w.forgottenBox().entry(2).isForgotten, qint16(1));
        // Typing in the editor after the deletion starts a new note; the old one never comes back.
        QCOMPARE(SSTab1(w)->currentIndex(), 11);
        QVERIFY(!RichTextBox1(w)->text().contains("old twelve"));
        RichTextBox1(w)->insertPlainText(QStringLiteral("new"));
        // Deletion reaches the disk at the next save.
        w.close();
        QVERIFY(!f.note(12).contains("old twelve"));
        QVERIFY(f.note(12).contains("new"));
        QVERIFY(f.settings().contains("[DAT2]\nDátum=0:00:00\n"));
        QCOMPARE(f.note(2), QByteArray(" \r\n"));
    }

    void noShowsTheForgottenView() {
        MainWindowFixture f;
        f.writeNote(9, "{\\rtf1\\ansi {\\b nine}}\r\n");
        f.writeNote(2, "{\\rtf1\\ansi two}\r\n");
        MainWindow& w = start(f, {{2, kToday.addDays(-1)}, {9, kToday.addDays(-2)}}, {MessageBoxes::No});
        QCOMPARE(w.windowTitle(), QStringLiteral("Zabudnuté odkazy v programe Pripomin"));
        QVERIFY(SSTab1(w)->isHidden());
        QVERIFY(RichTextBox1(w)->isHidden());
        QVERIFY(RichTextBox13(w)->isHidden());
        QVERIFY(MonthView1(w)->isHidden());
        QVERIFY(!zabudnuté(w)->isHidden());
        QVERIFY(!MonthView2(w)->isHidden());
        QCOMPARE(MonthView2(w)->selectedDate(), kToday);
        QVERIFY(Lišta1(w)->toolbar(1)->isHidden());
        QVERIFY(!Lišta1(w)->toolbar(2)->isHidden());
        for (int k = 1; k <= 12; ++k)
            QCOMPARE(Lišta1(w)->isToolVisible(QStringLiteral("ID_New%1").arg(k)), k == 2 || k == 9);
        QCOMPARE(Lišta1(w)->tool("ID_New9")->toolTip(),
                 "Odkaz zo dňa " + DateText::dateText(kToday.addDays(-2)) + " 9:00:00");
        QCOMPARE(zabudnuté(w)->text(), QString());

        Lišta1(w)->click("ID_New9");
        QCOMPARE(zabudnuté(w)->text().trimmed(), QStringLiteral("nine"));
        Lišta1(w)->click("ID_New2");
        QCOMPARE(zabudnuté(w)->text().trimmed(), QStringLiteral("two"));

        Lišta1(w)->click("ID_Tool1");
        QCOMPARE(w.windowTitle(), QStringLiteral("Pripomin - MENU"));
        QVERIFY(!SSTab1(w)->isHidden());
        QVERIFY(zabudnuté(w)->isHidden());
        QVERIFY(!Lišta1(w)->toolbar(1)->isHidden());
        QVERIFY(Lišta1(w)->toolbar(2)->isHidden());
        QCOMPARE(Lišta1(w)->combo("ID_Odkazy")->count(), 2);
        QCOMPARE(w.slots()[9].date, DateTimeValue::fromDate(kToday.addDays(-2)));
    }

    void cancelFindsThemAgainAtTheNextStart() {
        MainWindowFixture f;
        MainWindow& w = start(f, {{6, kToday.addDays(-1)}}, {MessageBoxes::Cancel});
        w.close();
        f.host.boxes.answers = {MessageBoxes::Cancel};
        MainWindow& again = f.load();
        QCOMPARE(again.forgottenBox().count, 1);
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(2));
    }
};

QTEST_MAIN(ForgottenTest)
#include "forgotten.moc"
