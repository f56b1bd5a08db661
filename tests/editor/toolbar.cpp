// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/mainwindowfixture.h"

#include "editor/toolbarcontrol.h"
#include "editor/tooldefinitions.h"
#include "host/richtextbox.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>

class ToolBarTest : public QObject {
    Q_OBJECT

    static void select(RichTextBox* box, int from, int to) {
        QTextCursor c = box->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        box->setTextCursor(c);
    }

  private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("sk_SK"))); }

    void toolsStandInTheirOrderWithTheirTexts() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        QStringList ids;
        for (QAction* a : Lišta1(w)->toolbar(1)->actions())
            ids << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
        QCOMPARE(ids.join(' '), QStringLiteral("ID_AcceptChange ID_StopCurrentJump ID_Font ID_Size ID_Left | "
                                               "ID_Center ID_Right ID_Bold ID_Italic ID_Underline ID_Black "
                                               "ID_Green ID_Red ID_Blue | ID_Legend ID_Odkazy"));
        QCOMPARE(Lišta1(w)->tool("ID_Bold")->statusTip(), QStringLiteral("\"Tučné\"  písmo"));
        QCOMPARE(Lišta1(w)->tool("ID_Italic")->statusTip(), QStringLiteral("Písmo \"kurzíva\""));
        QCOMPARE(Lišta1(w)->tool("ID_Right")->toolTip(), QStringLiteral(" V pravo Ctrl+R "));
        QCOMPARE(Lišta1(w)->tool("ID_AcceptChange")->shortcut(), QKeySequence("F11"));
        QVERIFY(Lišta1(w)->isPressed("ID_Left"));
        QVERIFY(Lišta1(w)->isPressed("ID_Black"));
        QCOMPARE(Lišta1(w)->toolbar(2)->actions().size(), 13);
        QCOMPARE(Lišta1(w)->tool("ID_New7")->text(), QStringLiteral("Odkaz"));
        QCOMPARE(Lišta1(w)->combo("ID_Size")->count(), 7);
        QCOMPARE(Lišta1(w)->combo("ID_Size")->itemText(6), QStringLiteral("8"));
    }

    void formattingToolsActOnTheSelection() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        SSTab1(w)->setCurrentIndex(2);
        RichTextBox1(w)->setText("one\ntwo\nthree");
        select(RichTextBox1(w), 0, 3);
        Lišta1(w)->click("ID_Bold");
        QCOMPARE(RichTextBox1(w)->selBold(), RichTextBox::Tri::True);
        Lišta1(w)->click("ID_Bold");
        QCOMPARE(RichTextBox1(w)->selBold(), RichTextBox::Tri::False);
        // A mixed selection becomes all bold.
        select(RichTextBox1(w), 0, 3);
        Lišta1(w)->click("ID_Bold");
        select(RichTextBox1(w), 0, 7);
        QCOMPARE(RichTextBox1(w)->selBold(), RichTextBox::Tri::Mixed);
        Lišta1(w)->click("ID_Bold");
        QCOMPARE(RichTextBox1(w)->selBold(), RichTextBox::Tri::True);

        select(RichTextBox1(w), 0, 13);
        Lišta1(w)->click("ID_Center");
        QCOMPARE(RichTextBox1(w)->selAlignment(), std::optional<int>(2));
        QVERIFY(Lišta1(w)->isPressed("ID_Center"));
        QVERIFY(!Lišta1(w)->isPressed("ID_Left"));

        // Formatting reaches the slot's note at once.
        QVERIFY(w.slots()[3].note.contains("\\qc"));
        QVERIFY(w.slots()[3].note.contains("\\b"));
    }

    void colourToolShowsItsBitmapAndColoursTheSelection() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        RichTextBox1(w)->setText("red");
        select(RichTextBox1(w), 0, 3);
        const qint64 before = Lišta1(w)->tool("ID_Red")->icon().cacheKey();
        Lišta1(w)->click("ID_Red");
        QVERIFY(f.host.boxes.shown.empty());
        QVERIFY(Lišta1(w)->tool("ID_Red")->icon().cacheKey() != before);
        QVERIFY(Lišta1(w)->isPressed("ID_Red"));
        QVERIFY(!Lišta1(w)->isPressed("ID_Black"));
        QTextCursor c = RichTextBox1(w)->textCursor();
        QCOMPARE(c.charFormat().foreground().color(), QColor(255, 0, 0));
    }

    void missingBitmapShowsTheErrorBoxAndKeepsTheColour() {
        MainWindowFixture f;
        HostServices services = f.host.services();
        services.programFolder = f.host.home.path(); // holds no bitmaps
        MainWindow w(services);
        w.Form_Load();
        w.buildControls();
        RichTextBox1(w)->setText("blue");
        select(RichTextBox1(w), 0, 4);
        Lišta1(w)->click("ID_Blue");
        QCOMPARE(f.host.boxes.shown.size(), std::size_t(1));
        const auto& box = f.host.boxes.shown[0];
        QCOMPARE(box.title, QStringLiteral("Chyba v programe Pripomin"));
        QCOMPARE(box.style, 16);
        const QStringList lines = box.text.split("\r\n");
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QStringLiteral("Číslo chyby : 53"));
        QVERIFY(lines[1].startsWith("Charakteristika chyby : "));
        QVERIFY(lines[1].contains("MODRA.BMP"));
        QCOMPARE(lines[2], QString());
        QCOMPARE(lines[3],
                 QStringLiteral("Nenašiel sa súbor farieb ktorý program potrebuje pre svoju činnosť."));
        QCOMPARE(lines[4],
                 QStringLiteral(
                     " Možno ste ho náhodou vymazali. Ak problémy pretrvávajú, program preinštalujte."));
        QVERIFY(RichTextBox1(w)->textCursor().charFormat().foreground().color() != QColor(0, 0, 255));
    }

    void combosApplyAndFollowTheSelection() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        RichTextBox1(w)->setText("word and more");
        select(RichTextBox1(w), 0, 4);
        QComboBox* size = Lišta1(w)->combo("ID_Size");
        size->setCurrentIndex(size->findText("24"));
        Lišta1(w)->click("ID_Size");
        QCOMPARE(RichTextBox1(w)->selFontSize(), std::optional<double>(24));
        QCOMPARE(size->currentText(), QStringLiteral("24"));
        // A size that is not a number is ignored.
        size->setEditText("veľké");
        Lišta1(w)->click("ID_Size");
        QCOMPARE(RichTextBox1(w)->selFontSize(), std::optional<double>(24));
        // Half sizes go to the even neighbour.
        RichTextBox1(w)->setSelFontSize(10.5);
        QCOMPARE(size->currentText(), QStringLiteral("10"));
        RichTextBox1(w)->setSelFontSize(11.5);
        QCOMPARE(size->currentText(), QStringLiteral("12"));
        // A selection over two sizes leaves the combo as it was.
        select(RichTextBox1(w), 0, 13);
        RichTextBox1(w)->setSelAlignment(0);
        QCOMPARE(size->currentText(), QStringLiteral("12"));
        // Choosing in the list of forgotten reminders does nothing.
        const QString note = w.slots()[12].note;
        Lišta1(w)->click("ID_Odkazy");
        QCOMPARE(w.slots()[12].note, note);
    }

    void keysNamedInTheTooltipsTriggerTheirTools() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        RichTextBox1(w)->setFocus();
        QTest::keyClicks(RichTextBox1(w), "abc");
        select(RichTextBox1(w), 0, 3);
        QTest::keyClick(RichTextBox1(w), Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(RichTextBox1(w)->selBold(), RichTextBox::Tri::True);
        QTest::keyClick(RichTextBox1(w), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(RichTextBox1(w)->selAlignment(), std::optional<int>(2));
        QTest::keyClick(RichTextBox1(w), Qt::Key_F7);
        QVERIFY(Lišta1(w)->isPressed("ID_Red"));
    }
};

QTEST_MAIN(ToolBarTest)
#include "toolbar.moc"
