// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/mainwindowfixture.h"

#include "editor/slottabs.h"
#include "editor/toolbarcontrol.h"
#include "host/richtextbox.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>

class MainWindowTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("sk_SK"))); }

    void everyControlAtItsDesignPlace() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        QCOMPARE(w.windowTitle(), QStringLiteral("Pripomin"));
        const struct {
            const char* name;
            QRect rect;
        } design[] = {
            {"SSTab1", {0, 0, 804, 191}},        {"RichTextBox1", {8, 24, 361, 161}},
            {"MonthView1", {464, 32, 332, 154}}, {"MonthView2", {464, 24, 334, 154}},
            {"zabudnuté", {8, 24, 449, 153}},
        };
        for (const auto& d : design) {
            auto* widget = w.findChild<QWidget*>(QString::fromUtf8(d.name));
            QVERIFY2(widget, d.name);
            QCOMPARE(widget->geometry(), d.rect);
        }
        // The clock sits at its design place but is as wide as the time needs: it never wraps.
        auto* clock = w.findChild<RichTextBox*>(QStringLiteral("RichTextBox13"));
        QVERIFY(clock);
        QCOMPARE(clock->pos(), QPoint(384, 160));
        QCOMPARE(clock->height(), 25);
        QVERIFY(clock->width() >= 57);
        QCOMPARE(clock->lineWrapMode(), QTextEdit::NoWrap);
        QVERIFY(clock->geometry().right() < w.findChild<QWidget*>(QStringLiteral("MonthView1"))->x());
        for (int k = 1; k <= 12; ++k) {
            auto* picker = w.findChild<QDateTimeEdit*>(QStringLiteral("DTPicker%1").arg(k));
            QVERIFY(picker);
            QCOMPARE(picker->size(), QSize(81, 25));
            QCOMPARE(picker->toolTip(), QStringLiteral(" Aktuálny čas zobrazenia odkazu  "));
            auto* image = w.findChild<QLabel*>(QStringLiteral("Image%1").arg(k));
            QVERIFY(image);
            QCOMPARE(image->toolTip(), QStringLiteral(" Nápoveda "));
        }
        QVERIFY(MonthView2(w)->isHidden());
        QVERIFY(zabudnuté(w)->isHidden());
        QVERIFY(Lišta1(w)->toolbar(2)->isHidden());
        QCOMPARE(RichTextBox13(w)->toolTip(), QStringLiteral(" Aktuálny čas "));
    }

    void firstStartKeepsTheDesign() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        QCOMPARE(SSTab1(w)->currentIndex(), 0);
        for (int i = 0; i < 12; ++i)
            QCOMPARE(SSTab1(w)->tabText(i), QStringLiteral("00:00"));
        for (int k = 1; k <= 12; ++k) {
            QCOMPARE(DTPicker(w)[k - 1]->dateTime(), QDateTime(QDate(2002, 2, 4), QTime(0, 0)));
            QVERIFY(w.slots()[k].date.isZero());
        }
        QCOMPARE(MonthView1(w)->selectedDate(), f.host.clock.now().date().addDays(31));
        QCOMPARE(MonthView2(w)->selectedDate(), f.host.clock.now().date().addDays(31));
        // The combos follow the caret of the (empty) editor, which writes 12-point text.
        QCOMPARE(Lišta1(w)->combo("ID_Font")->currentText(), RichTextBox1(w)->selFontName().value());
        QCOMPARE(Lišta1(w)->combo("ID_Size")->currentText(), QStringLiteral("12"));
        QVERIFY(Lišta1(w)->combo("ID_Font")->count() <= 11);
        QVERIFY(f.host.boxes.shown.empty());
    }

    void startWithSettingsShowsDatesTimesAndNotes() {
        MainWindowFixture f;
        f.host.clock.current = QDateTime(QDate(2002, 3, 12), QTime(8, 0));
        f.writeSettings("[Pripomin]\nRun=1\n[DAT3]\nDátum=14.3.2002\nČas=9:5:0\n[DAT12]\nDátum=12.3.2002\n"
                        "Čas=14:30:0\n");
        f.writeNote(12, "{\\rtf1\\ansi twelve}\r\n");
        MainWindow& w = f.load();
        QCOMPARE(SSTab1(w)->currentIndex(), 11);
        QCOMPARE(SSTab1(w)->tabText(2), DateText::dateText(QDate(2002, 3, 14)));
        QCOMPARE(SSTab1(w)->tabText(0), QStringLiteral("0:00:00"));
        QCOMPARE(DTPicker(w)[2]->dateTime(), QDateTime(QDate(1899, 12, 30), QTime(9, 5, 0)));
        QCOMPARE(DTPicker(w)[0]->dateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
        // The selected slot's note is in the editor.
        QCOMPARE(RichTextBox1(w)->text().trimmed(), QStringLiteral("twelve"));
    }

    void tabsShowTheirNotesAndEditsStayInTheirSlot() {
        MainWindowFixture f;
        f.writeNote(5, "{\\rtf1\\ansi five}\r\n");
        f.writeNote(6, "{\\rtf1\\ansi six}\r\n");
        MainWindow& w = f.load();
        SSTab1(w)->setCurrentIndex(4);
        QCOMPARE(RichTextBox1(w)->text().trimmed(), QStringLiteral("five"));
        const QString sixBefore = w.slots()[6].note;
        RichTextBox1(w)->moveCursor(QTextCursor::End);
        QTest::keyClicks(RichTextBox1(w), "X");
        QVERIFY(w.slots()[5].note.contains("fiveX"));
        QCOMPARE(w.slots()[6].note, sixBefore);
        SSTab1(w)->setCurrentIndex(5);
        QCOMPARE(RichTextBox1(w)->text().trimmed(), QStringLiteral("six"));
    }

    void pickerChangesReachTheSlotTimeAtOnce() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        DTPicker(w)[2]->setTime(QTime(14, 5, 0));
        QCOMPARE(w.slots()[3].time, QStringLiteral("14:5:0"));
        // A time set after a start without settings keeps the picker's design day.
        QCOMPARE(DTPicker(w)[2]->date(), QDate(2002, 2, 4));
    }

    void typingATimeIntoThePicker() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        DTPicker(w)[0]->setFocus();
        QTest::keyClick(DTPicker(w)[0], Qt::Key_Home);
        QTest::keyClicks(DTPicker(w)[0], "073015");
        QCOMPARE(DTPicker(w)[0]->time(), QTime(7, 30, 15));
        QCOMPARE(w.slots()[1].time, QStringLiteral("7:30:15"));
    }

    void helpIconsOpenTheHelpFile() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        SSTab1(w)->setCurrentIndex(6);
        w.show();
        QTest::mouseClick(Image(w)[6], Qt::LeftButton);
        QCOMPARE(f.host.shell.opened, QStringList{f.host.services().programFolder + "/Pripomin.html"});
    }

    void closingSavesEverythingAndEndsOnce() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        int ended = 0;
        w.onUnloaded = [&] { ++ended; };
        w.slots()[4].date = DateTimeValue::fromDate(QDate(2030, 5, 6));
        DTPicker(w)[3]->setTime(QTime(7, 30, 5));
        SSTab1(w)->setCurrentIndex(3);
        RichTextBox1(w)->setText("poznámka");
        w.close();
        w.Form_Unload(); // a signal arriving during the close changes nothing
        QCOMPARE(ended, 1);
        const QString settings = QString::fromUtf8(f.settings());
        QVERIFY(settings.contains("Run=1"));
        QVERIFY(
            settings.contains("[DAT4]\nDátum=" + DateText::dateText(QDate(2030, 5, 6)) + "\nČas=7:30:5\n"));
        QVERIFY(f.note(4).endsWith("\r\n"));
        for (int k = 1; k <= 12; ++k)
            QVERIFY(QFile::exists(f.host.dataDir() + QStringLiteral("/Dat%1.RTF").arg(k)));
        QVERIFY(f.host.boxes.shown.empty());
    }

    void aCloseDuringTheLoadWaitsForTheSlots() {
        MainWindowFixture f;
        f.writeSettings("[Pripomin]\nRun=1\n[DAT5]\nDátum=1.1.2030\nČas=8:0:0\n");
        f.writeNote(5, "{\\rtf1\\ansi five}\r\n");
        f.window = std::make_unique<MainWindow>(f.host.services());
        int ended = 0;
        f.window->onUnloaded = [&] { ++ended; };
        // As a SIGTERM handled in the load's first message loop pass would do.
        QMetaObject::invokeMethod(
            f.window.get(), [&] { f.window->close(); }, Qt::QueuedConnection);
        f.window->Form_Load();
        QCOMPARE(ended, 1);
        QVERIFY(f.settings().contains("Dátum=1. 1. 2030"));
        QVERIFY(f.note(5).contains("five"));
    }

    void aFailedSaveAtTheEndLetsTheUserKeepTheProgram() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        int ended = 0;
        w.onUnloaded = [&] { ++ended; };
        w.slots()[9].note = QStringLiteral("{\\rtf1 deviaty}");
        const QString blocker = f.host.dataDir() + "/Dat9.RTF";
        QFile::remove(blocker);
        QDir().mkpath(blocker);

        // "Nie": the program stays, with its window on screen.
        f.host.boxes.answers = {MessageBoxes::No};
        w.close();
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(1));
        const auto& box = f.host.boxes.shown[0];
        QCOMPARE(box.title, QStringLiteral("Chyba v programe Pripomin"));
        QCOMPARE(box.style, MessageBoxes::Critical + MessageBoxes::YesNo);
        QVERIFY(box.text.contains(blocker));
        QVERIFY(box.text.contains("Ukončiť program aj tak?"));
        QVERIFY(f.settings().contains("Run=1")); // the settings were written all the same
        QCOMPARE(ended, 0);
        QVERIFY(!w.isUnloaded());
        QVERIFY(w.isVisible());
        QVERIFY(w.watcher().timer()->isActive());

        // With room made, the next close saves everything and ends without a question.
        QDir(blocker).removeRecursively();
        w.close();
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(1));
        QCOMPARE(ended, 1);
        QVERIFY(f.note(9).contains("deviaty"));
    }

    void aFailedSaveAtTheEndEndsWhenAnsweredYesOrWhenTerminated() {
        for (bool terminated : {false, true}) {
            MainWindowFixture f;
            MainWindow& w = f.load();
            int ended = 0;
            w.onUnloaded = [&] { ++ended; };
            QFile::remove(f.host.dataDir() + "/Dat2.RTF");
            QDir().mkpath(f.host.dataDir() + "/Dat2.RTF");
            f.host.boxes.answers = {MessageBoxes::Yes};
            if (terminated)
                w.closeForTermination();
            else
                w.close();
            // A signal or the session's end asks nothing: nobody may be there to answer.
            QCOMPARE(f.host.boxes.shown.size(), std::size_t(terminated ? 0 : 1));
            QCOMPARE(ended, 1);
            QVERIFY(w.isUnloaded());
        }
    }

    void aFailedSaveWhileRunningNamesEveryFileWithItsFolder() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        QFile::remove(f.host.dataDir() + "/Dat5.RTF");
        QDir().mkpath(f.host.dataDir() + "/Dat5.RTF");
        QFile::remove(f.host.configDir() + "/PM002.INI");
        QDir().mkpath(f.host.configDir() + "/PM002.INI");
        w.uložtexty();
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(1));
        const QStringList lines = f.host.boxes.shown[0].text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.value(1), f.host.configDir() + "/PM002.INI");
        QCOMPARE(lines.value(2), f.host.dataDir() + "/Dat5.RTF");
        QCOMPARE(lines.value(3), QString());
        QCOMPARE(f.host.boxes.shown[0].style, int(MessageBoxes::Critical));
        QDir(f.host.configDir() + "/PM002.INI").removeRecursively();
    }

    // Each kind of change reaches its file by itself, within about a second.
    void changesReachTheDiskWithinASecond_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("note typed") << "type" << QByteArray("Dat4.RTF") << QByteArray("napisane");
        QTest::newRow("time set") << "time" << QByteArray("PM002.INI") << QByteArray("Čas=7:30:5");
        QTest::newRow("date chosen") << "date" << QByteArray("PM002.INI")
                                     << ("[DAT4]\nDátum=" + DateText::dateText(QDate(2002, 4, 1)).toUtf8());
        QTest::newRow("past date refused")
            << "past" << QByteArray("PM002.INI") << QByteArray("[DAT4]\nDátum=0:00:00\n");
    }
    void changesReachTheDiskWithinASecond() {
        QFETCH(QString, change);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, expected);
        MainWindowFixture f;
        f.writeSettings("[Pripomin]\nRun=1\n[DAT4]\nDátum=1. 3. 2002\nČas=0:0:0\n");
        f.writeNote(4, "{\\rtf1\\ansi štyri}\r\n");
        // Slot 4's day has passed: "Áno" deletes it at the start.
        if (change == "forget")
            f.host.boxes.answers.push_back(MessageBoxes::Yes);
        MainWindow& w = f.load();
        SSTab1(w)->setCurrentIndex(3);
        // Viewing the tab is no change: the note stays as the file has it.
        if (change != "forget")
            QCOMPARE(w.slots()[4].note, QStringLiteral("{\\rtf1\\ansi štyri}"));
        const QString path = (file == "PM002.INI" ? f.host.configDir() : f.host.dataDir()) + "/" + file;
        QVERIFY(!readFile(path).contains(expected));
        if (change == "type")
            QTest::keyClicks(RichTextBox1(w), "napisane");
        else if (change == "time")
            DTPicker(w)[3]->setTime(QTime(7, 30, 5));
        else if (change != "forget")
            MonthView1(w)->setSelectedDate(change == "date" ? QDate(2002, 4, 1) : QDate(2002, 3, 1));
        QTRY_VERIFY_WITH_TIMEOUT(readFile(path).contains(expected), 1500);
        if (change == "type")
            QCOMPARE(f.settings(), QByteArray("[Pripomin]\nRun=1\n[DAT4]\nDátum=1. 3. 2002\nČas=0:0:0\n"));
    }

    void aFailedSaveAfterAChangeIsToldOnceAndTriedAgain() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        SSTab1(w)->setCurrentIndex(4);
        QDir().mkpath(f.host.dataDir() + "/Dat5.RTF");
        QTest::keyClicks(RichTextBox1(w), "a");
        QTRY_COMPARE_WITH_TIMEOUT(f.host.boxes.shown.size(), std::size_t(1), 1500);
        QCOMPARE(f.host.boxes.shown[0].text.split("\r\n").value(1), f.host.dataDir() + "/Dat5.RTF");
        QTest::keyClicks(RichTextBox1(w), "b");
        QTest::qWait(1200);
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(1));
        QDir().rmdir(f.host.dataDir() + "/Dat5.RTF");
        QTest::keyClicks(RichTextBox1(w), "c");
        QTRY_VERIFY_WITH_TIMEOUT(f.note(5).contains("abc"), 1500);
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(1));
    }

    void twelveDatedTabsAllStayInSightWhole() {
        MainWindowFixture f;
        QByteArray settings("[Pripomin]\nRun=1\n");
        for (int k = 1; k <= 12; ++k)
            settings += QStringLiteral("[DAT%1]\nDátum=28.12.2030\nČas=10:0:0\n").arg(k).toUtf8();
        f.writeSettings(settings);
        MainWindow& w = f.load();
        w.show();
        auto* bar = qobject_cast<SlotTabBar*>(SSTab1(w)->tabBar());
        QVERIFY(bar);
        QCOMPARE(bar->count(), 12);
        QCOMPARE(bar->tabText(11), QStringLiteral("28. 12. 2030"));
        for (int i = 0; i < 12; ++i) {
            QVERIFY2(bar->rect().contains(bar->tabRect(i)), qPrintable(QString::number(i)));
            QVERIFY2(bar->captionFits(i), qPrintable(QString::number(i)));
        }
        // Adjacent shares, no gaps and no overlaps.
        for (int i = 1; i < 12; ++i)
            QCOMPARE(bar->tabRect(i).left(), bar->tabRect(i - 1).right() + 1);
    }

    // Every tool of "Menu" on screen at the window's own size, with the widest texts the legend
    // and the forgotten reminders' list take: nothing behind the toolbar's overflow arrow.
    void everyMenuToolFitsTheWindow_data() {
        QTest::addColumn<QString>("legend");
        QTest::addColumn<QString>("list");
        QTest::newRow("empty box, Wednesday") << "28. 12. 2030 STREDA"
                                              << "V schránke nie sú odkazy";
        QTest::newRow("twelve, Thursday") << "28. 12. 2030 ŠTVRTOK"
                                          << "Počet odkazov v schránke:12";
    }
    void everyMenuToolFitsTheWindow() {
        QFETCH(QString, legend);
        QFETCH(QString, list);
        MainWindowFixture f;
        MainWindow& w = f.load();
        Lišta1(w)->textTool("ID_Legend")->setText(legend);
        Lišta1(w)->combo("ID_Odkazy")->setEditText(list);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QToolBar* bar = Lišta1(w)->toolbar(1);
        QCOMPARE(bar->width(), w.width());
        for (QAction* tool : bar->actions()) {
            if (tool->isSeparator())
                continue;
            QWidget* shown = bar->widgetForAction(tool);
            QVERIFY2(shown && shown->isVisible(), qPrintable(tool->objectName()));
            QVERIFY2(bar->rect().contains(shown->geometry()), qPrintable(tool->objectName()));
        }
        auto* overflow = bar->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button"));
        QVERIFY(!overflow || !overflow->isVisible());
        // The texts show whole.
        QLabel* legendTool = Lišta1(w)->textTool("ID_Legend");
        QVERIFY(legendTool->width() >= legendTool->sizeHint().width());
        QComboBox* listTool = Lišta1(w)->combo("ID_Odkazy");
        QVERIFY(listTool->lineEdit()->width() >= listTool->fontMetrics().horizontalAdvance(list));
    }

    void garbledSettingsNeverEndTheProgram() {
        MainWindowFixture f;
        QByteArray garbage("[Pripomin]\r\nRun=1\r\n");
        for (int i = 0; i < 5000; ++i)
            garbage.append(char(i * 31 % 256));
        garbage.append("\r\n[DAT2]\r\nDátum=\xff\xfe\r\nČas=99:99:99\r\n");
        f.writeSettings(garbage);
        MainWindow& w = f.load();
        QVERIFY(w.slots()[2].date.isZero());
        QCOMPARE(DTPicker(w)[1]->time(), QTime(0, 0));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow.moc"
