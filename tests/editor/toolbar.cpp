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
        for (QAction* a : w.Lišta1->toolbar(1)->actions())
            ids << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
        QCOMPARE(ids.join(' '), QStringLiteral("ID_AcceptChange ID_StopCurrentJump ID_Font ID_Size ID_Left | "
                                               "ID_Center ID_Right ID_Bold ID_Italic ID_Underline ID_Black "
                                               "ID_Green ID_Red ID_Blue | ID_Legend ID_Odkazy"));
        QCOMPARE(w.Lišta1->tool("ID_Bold")->statusTip(), QStringLiteral("\"Tučné\"  písmo"));
        QCOMPARE(w.Lišta1->tool("ID_Italic")->statusTip(), QStringLiteral("Písmo \"kurzíva\""));
        QCOMPARE(w.Lišta1->tool("ID_Right")->toolTip(), QStringLiteral(" V pravo Ctrl+R "));
        QCOMPARE(w.Lišta1->tool("ID_AcceptChange")->shortcut(), QKeySequence("F11"));
        QVERIFY(w.Lišta1->isPressed("ID_Left"));
        QVERIFY(w.Lišta1->isPressed("ID_Black"));
        QCOMPARE(w.Lišta1->toolbar(2)->actions().size(), 13);
        QCOMPARE(w.Lišta1->tool("ID_New7")->text(), QStringLiteral("Odkaz"));
        QCOMPARE(w.Lišta1->combo("ID_Size")->count(), 7);
        QCOMPARE(w.Lišta1->combo("ID_Size")->itemText(6), QStringLiteral("8"));
    }

    void formattingToolsActOnTheSelection() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        w.SSTab1->setCurrentIndex(2);
        w.RichTextBox1->setText("one\ntwo\nthree");
        select(w.RichTextBox1, 0, 3);
        w.Lišta1->click("ID_Bold");
        QCOMPARE(w.RichTextBox1->selBold(), RichTextBox::Tri::True);
        w.Lišta1->click("ID_Bold");
        QCOMPARE(w.RichTextBox1->selBold(), RichTextBox::Tri::False);
        // A mixed selection becomes all bold.
        select(w.RichTextBox1, 0, 3);
        w.Lišta1->click("ID_Bold");
        select(w.RichTextBox1, 0, 7);
        QCOMPARE(w.RichTextBox1->selBold(), RichTextBox::Tri::Mixed);
        w.Lišta1->click("ID_Bold");
        QCOMPARE(w.RichTextBox1->selBold(), RichTextBox::Tri::True);

        select(w.RichTextBox1, 0, 13);
        w.Lišta1->click("ID_Center");
        QCOMPARE(w.RichTextBox1->selAlignment(), std::optional<int>(2));
        QVERIFY(w.Lišta1->isPressed("ID_Center"));
        QVERIFY(!w.Lišta1->isPressed("ID_Left"));

        // Formatting reaches the slot's note at once.
        QVERIFY(w.slots()[3].note.contains("\\qc"));
        QVERIFY(w.slots()[3].note.contains("\\b"));
    }

    void colourToolShowsItsBitmapAndColoursTheSelection() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        w.RichTextBox1->setText("red");
        select(w.RichTextBox1, 0, 3);
        const qint64 before = w.Lišta1->tool("ID_Red")->icon().cacheKey();
        w.Lišta1->click("ID_Red");
        QVERIFY(f.host.boxes.shown.empty());
        QVERIFY(w.Lišta1->tool("ID_Red")->icon().cacheKey() != before);
        QVERIFY(w.Lišta1->isPressed("ID_Red"));
        QVERIFY(!w.Lišta1->isPressed("ID_Black"));
        QTextCursor c = w.RichTextBox1->textCursor();
        QCOMPARE(c.charFormat().foreground().color(), QColor(255, 0, 0));
    }

    void missingBitmapShowsTheErrorBoxAndKeepsTheColour() {
        MainWindowFixture f;
        HostServices services = f.host.services();
        services.programFolder = f.host.home.path(); // holds no bitmaps
        MainWindow w(services);
        w.Form_Load();
        w.RichTextBox1->setText("blue");
        select(w.RichTextBox1, 0, 4);
        w.Lišta1->click("ID_Blue");
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
        QCOMPARE(lines[3], QStringLiteral("Nenašiel sa súbor farieb ktorý program potrebuje pre svoju činnosť."));
        QCOMPARE(lines[4],
                 QStringLiteral(" Možno ste ho náhodou vymazali. Ak problémy pretrvávajú, program preinštalujte."));
        QVERIFY(w.RichTextBox1->textCursor().charFormat().foreground().color() != QColor(0, 0, 255));
    }

    void combosApplyAndFollowTheSelection() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        w.RichTextBox1->setText("word and more");
        select(w.RichTextBox1, 0, 4);
        QComboBox* size = w.Lišta1->combo("ID_Size");
        size->setCurrentIndex(size->findText("24"));
        w.Lišta1->click("ID_Size");
        QCOMPARE(w.RichTextBox1->selFontSize(), std::optional<double>(24));
        QCOMPARE(size->currentText(), QStringLiteral("24"));
        // A size that is not a number is ignored.
        size->setEditText("veľké");
        w.Lišta1->click("ID_Size");
        QCOMPARE(w.RichTextBox1->selFontSize(), std::optional<double>(24));
        // Half sizes go to the even neighbour.
        w.RichTextBox1->setSelFontSize(10.5);
        QCOMPARE(size->currentText(), QStringLiteral("10"));
        w.RichTextBox1->setSelFontSize(11.5);
        QCOMPARE(size->currentText(), QStringLiteral("12"));
        // A selection over two sizes leaves the combo as it was.
        select(w.RichTextBox1, 0, 13);
        w.RichTextBox1->setSelAlignment(0);
        QCOMPARE(size->currentText(), QStringLiteral("12"));
        // Choosing in the list of forgotten reminders does nothing.
        const QString note = w.slots()[12].note;
        w.Lišta1->click("ID_Odkazy");
        QCOMPARE(w.slots()[12].note, note);
    }

    void keysNamedInTheTooltipsTriggerTheirTools() {
        MainWindowFixture f;
        MainWindow& w = f.load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.RichTextBox1->setFocus();
        QTest::keyClicks(w.RichTextBox1, "abc");
        select(w.RichTextBox1, 0, 3);
        QTest::keyClick(w.RichTextBox1, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(w.RichTextBox1->selBold(), RichTextBox::Tri::True);
        QTest::keyClick(w.RichTextBox1, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(w.RichTextBox1->selAlignment(), std::optional<int>(2));
        QTest::keyClick(w.RichTextBox1, Qt::Key_F7);
        QVERIFY(w.Lišta1->isPressed("ID_Red"));
    }
};

QTEST_MAIN(ToolBarTest)
#include "toolbar.moc"
