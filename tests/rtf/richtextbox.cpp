// SPDX-License-Identifier: GPL-3.0-or-later
// The note editor control: its change event, the selection's attributes and the RTF it keeps.
#include "host/richtextbox.h"
#include "host/rtfformat.h"
#include "host/rtflist.h"
#include "host/rtfreader.h"
#include "rtf/documentmodel.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QSet>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

namespace {

const QString kTwoParagraphs =
    QStringLiteral("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 "
                   "Arial;}{\\f1\\fnil\\fcharset238 Courier New;}}\n"
                   "\\pard\\qc\\f0\\fs24 ab\\b cd\\b0\\par\n"
                   "\\pard\\f1\\fs21 ef\\par\n}");

void select(RichTextBox& box, int from, int to) {
    QTextCursor c = box.textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    box.setTextCursor(c);
}

// Lets the test hand the control what a paste or a drop would.
struct PastingBox : RichTextBox {
    using RichTextBox::insertFromMimeData;
};

} // namespace

class RichTextBoxTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void settingContentReportsOneChange_data() {
        QTest::addColumn<QString>("content");
        QTest::newRow("RTF") << kTwoParagraphs;
        QTest::newRow("a blank, as the watcher sets it") << " ";
        QTest::newRow("empty") << "";
        QTest::newRow("long plain text") << QString(5000, u'x');
    }
    void settingContentReportsOneChange() {
        QFETCH(QString, content);
        RichTextBox box;
        QSignalSpy changes(&box, &RichTextBox::contentChanged);
        box.setTextRTF(content);
        QCOMPARE(changes.size(), 1);
        box.setText(QStringLiteral("čas"));
        QCOMPARE(changes.size(), 2);
        QCOMPARE(box.text(), QStringLiteral("čas"));
    }

    void textThatIsNotRtfShowsAsItIs() {
        RichTextBox box;
        box.setTextRTF(QStringLiteral(" "));
        QCOMPARE(box.text(), QStringLiteral(" "));
        box.setTextRTF(QStringLiteral("{not rtf} \\b x"));
        QCOMPARE(box.text(), QStringLiteral("{not rtf} \\b x"));
    }

    void contentSurvivesItsOwnRtf() {
        RichTextBox box;
        box.setTextRTF(kTwoParagraphs);
        QCOMPARE(box.text(), QStringLiteral("abcd\nef"));
        const QString rtf = box.textRTF();
        RichTextBox other;
        other.setTextRTF(rtf);
        QCOMPARE(other.textRTF(), rtf);
        QVERIFY(rtf.contains(QStringLiteral("\\qc")));
        QVERIFY(rtf.contains(QStringLiteral("ab\\b cd\\par")));
        QVERIFY(rtf.contains(QStringLiteral("Courier New;")));
    }

    void settingContentStartsAfreshAtTheTop() {
        RichTextBox box;
        box.setTextRTF(QStringLiteral("first"));
        box.setTextRTF(kTwoParagraphs);
        QCOMPARE(box.textCursor().position(), 0);
        QVERIFY(!box.document()->isUndoAvailable());
    }

    void typingReportsEachChange() {
        RichTextBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy changes(&box, &RichTextBox::contentChanged);
        QTest::keyClicks(&box, QStringLiteral("ab"));
        QCOMPARE(changes.size(), 2);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(changes.size(), 3);
        QTest::keyClick(&box, Qt::Key_Left); // moving the caret changes nothing
        QCOMPARE(changes.size(), 3);
        QCOMPARE(box.text(), QStringLiteral("a"));
    }

    void attributesOfTheSelection() {
        RichTextBox box;
        box.setTextRTF(kTwoParagraphs);
        select(box, 0, 2); // "ab"
        QCOMPARE(box.selBold(), RichTextBox::Tri::False);
        select(box, 2, 4); // "cd"
        QCOMPARE(box.selBold(), RichTextBox::Tri::True);
        select(box, 1, 3);
        QCOMPARE(box.selBold(), RichTextBox::Tri::Mixed);
        QCOMPARE(box.selItalic(), RichTextBox::Tri::False);
        QCOMPARE(box.selFontName(), std::optional<QString>(QStringLiteral("Arial")));
        QCOMPARE(box.selFontSize(), std::optional<double>(12.0));
        QCOMPARE(box.selAlignment(), std::optional<int>(2));

        select(box, 3, 6); // across both paragraphs
        QCOMPARE(box.selFontName(), std::nullopt);
        QCOMPARE(box.selFontSize(), std::nullopt);
        QCOMPARE(box.selAlignment(), std::nullopt);

        select(box, 6, 6); // caret in "ef": what typing would use
        QCOMPARE(box.selFontName(), std::optional<QString>(QStringLiteral("Courier New")));
        QCOMPARE(box.selFontSize(), std::optional<double>(10.5));
        QCOMPARE(box.selAlignment(), std::optional<int>(0));
        QCOMPARE(box.selBold(), RichTextBox::Tri::False);
    }

    void justifiedHasNoAlignmentCode() {
        RichTextBox box;
        box.setTextRTF(QStringLiteral("{\\rtf1 \\qj justified\\par}"));
        QCOMPARE(box.selAlignment(), std::nullopt);
    }

    void formattingASelectionIsOneChange() {
        RichTextBox box;
        box.setTextRTF(kTwoParagraphs);
        QSignalSpy changes(&box, &RichTextBox::contentChanged);
        select(box, 0, 7); // both paragraphs
        box.setSelBold(true);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(box.selBold(), RichTextBox::Tri::True);
        box.setSelItalic(true);
        box.setSelUnderline(true);
        box.setSelColor(0x0000ff); // red in 0x00BBGGRR
        box.setSelFontName(QStringLiteral("Times New Roman"));
        box.setSelFontSize(24);
        box.setSelAlignment(1);
        QCOMPARE(changes.size(), 7);
        QCOMPARE(box.selItalic(), RichTextBox::Tri::True);
        QCOMPARE(box.selUnderline(), RichTextBox::Tri::True);
        QCOMPARE(box.selFontName(), std::optional<QString>(QStringLiteral("Times New Roman")));
        QCOMPARE(box.selFontSize(), std::optional<double>(24.0));
        QCOMPARE(box.selAlignment(), std::optional<int>(1));

        const QString rtf = box.textRTF();
        QVERIFY2(rtf.contains(QStringLiteral("{\\colortbl ;\\red255\\green0\\blue0;}")), qPrintable(rtf));
        QVERIFY2(rtf.contains(QStringLiteral("\\pard\\qr\\f0\\fs48\\b\\i\\ul\\cf1 abcd\\par")),
                 qPrintable(rtf));
        QVERIFY2(rtf.contains(QStringLiteral("\\f0\\fs48\\b\\i\\ul\\cf1 abcd\\par\r\nef\\par")),
                 qPrintable(rtf));
    }

    void formattingTheCaretChangesNoContent() {
        RichTextBox box;
        box.setTextRTF(QStringLiteral("ab"));
        select(box, 2, 2);
        QSignalSpy changes(&box, &RichTextBox::contentChanged);
        box.setSelBold(true);
        box.setSelFontSize(20);
        QCOMPARE(changes.size(), 0);
        QCOMPARE(box.selBold(), RichTextBox::Tri::True);
        box.insertPlainText(QStringLiteral("c"));
        QCOMPARE(changes.size(), 1);
        select(box, 2, 3);
        QCOMPARE(box.selBold(), RichTextBox::Tri::True);
        QCOMPARE(box.selFontSize(), std::optional<double>(20.0));
        // The paragraph's alignment is content, even with no selection.
        box.setSelAlignment(2);
        QCOMPARE(changes.size(), 2);
        box.setSelAlignment(7); // no such code: ignored
        QCOMPARE(changes.size(), 2);
    }

    void unusableFormattingValuesAreIgnored() {
        RichTextBox box;
        box.setTextRTF(kTwoParagraphs);
        select(box, 0, 2);
        QSignalSpy changes(&box, &RichTextBox::contentChanged);
        box.setSelFontSize(0);
        box.setSelFontSize(std::nan(""));
        box.setSelFontSize(1e9);
        box.setSelFontName(QString());
        QCOMPARE(changes.size(), 0);
        QCOMPARE(box.selFontSize(), std::optional<double>(12.0));
        box.setSelFontSize(10.3); // RTF keeps half points
        QCOMPARE(box.selFontSize(), std::optional<double>(10.5));
    }

    // What the editor shows after a paste is what the stored note gives back.
    void pastedRichTextIsWhatTheNoteKeeps() {
        PastingBox box;
        box.setTextRTF(QStringLiteral("ab"));
        select(box, 1, 1);
        QMimeData mime;
        mime.setHtml(
            QStringLiteral("<p>x<b>y</b><img src=\"nowhere.png\"></p><table><tr><td>c1</td><td>c2</td></tr>"
                           "</table><ul><li>z</li></ul>"));
        QSignalSpy changes(&box, &RichTextBox::contentChanged);
        box.insertFromMimeData(&mime);
        QCOMPARE(changes.size(), 1);
        const QString shown = box.text();
        const QString rtf = box.textRTF();
        RichTextBox reloaded;
        reloaded.setTextRTF(rtf);
        QCOMPARE(reloaded.text(), shown);
        QCOMPARE(reloaded.textRTF(), rtf);
        QVERIFY(shown.startsWith(QStringLiteral("axy")));
        QVERIFY(shown.contains(QStringLiteral("c1")));
    }

    // A pasted page keeps its lists, links, highlight and pictures; its scripts and forms go.
    void pastedPageKeepsItsFormatting() {
        QImage dot(4, 3, QImage::Format_RGB32);
        dot.fill(Qt::green);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        dot.save(&buffer, "PNG");
        PastingBox box;
        QMimeData mime;
        mime.setHtml(
            QStringLiteral(
                "<style>p{color:red}</style><script>alert(1)</script><ul><li>jeden</li>"
                "<li>dva</li></ul><ol><li>tri<ol type=\"a\" start=\"3\"><li>štyri</li></ol></li></ol><table "
                "border=\"1\"><tr><td>c1<p>c1b</p></td><td rowspan=\"2\">c2</td>"
                "</tr><tr><td>c3</td></tr><tr><td colspan=\"2\">c4</td></tr></table><p><a "
                "href=\"https://example.sk/\">odkaz</a> "
                "<span style=\"background-color:#ffff00\">žlté</span><img src=\"data:image/png;base64,") +
            QString::fromLatin1(png.toBase64()) +
            QStringLiteral(
                "\" width=\"8\" height=\"6\"><img src=\"copied.png\"></p><form><input value=\"x\"></form>"));
        QImage copied(5, 5, QImage::Format_RGB32);
        copied.fill(Qt::blue);
        mime.setImageData(copied);
        box.insertFromMimeData(&mime);
        const QString text = box.text();
        QVERIFY2(!text.contains(QStringLiteral("alert")) && text.contains(QStringLiteral("jeden")),
                 qPrintable(text));
        const QTextDocument* doc = box.document();
        QStringList lists;
        QSet<QString> anchors;
        QList<QSize> pictures;
        bool highlighted = false;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            if (const QTextList* list = b.textList())
                lists << QStringLiteral("%1 %2 %3")
                             .arg(rtf::listStyle(list->format()))
                             .arg(rtf::listLabel(*list, b))
                             .arg(rtf::listLevel(list->format()));
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                if (f.isAnchor())
                    anchors << f.anchorHref();
                if (f.background().color() == QColor(255, 255, 0))
                    highlighted = true;
                if (f.isImageFormat()) {
                    const QTextImageFormat img = f.toImageFormat();
                    QImage drawn =
                        doc->resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>();
                    if (drawn.isNull())
                        drawn.loadFromData(
                            doc->resource(QTextDocument::ImageResource, QUrl(img.name())).toByteArray());
                    QCOMPARE(drawn.isNull(), false);
                    pictures << QSizeF(img.width(), img.height()).toSize();
                }
            }
        }
        // Numbers keep their dot, a nested list its level.
        const QString disc = QStringLiteral("%1  0").arg(QTextListFormat::ListDisc);
        QCOMPARE(lists, QStringList({disc, disc, QStringLiteral("%1 1. 0").arg(QTextListFormat::ListDecimal),
                                     QStringLiteral("%1 c. 1").arg(QTextListFormat::ListLowerAlpha)}));
        QCOMPARE(anchors, QSet<QString>{QStringLiteral("https://example.sk/")});
        QVERIFY(highlighted);
        QTextCursor inTable(const_cast<QTextDocument*>(doc));
        inTable.setPosition(int(box.text().indexOf(QStringLiteral("c2"))));
        QVERIFY(inTable.currentTable());
        QCOMPARE(inTable.currentTable()->columns(), 2);
        QCOMPARE(inTable.currentTable()->cellAt(0, 0).lastCursorPosition().block().text(),
                 QStringLiteral("c1b"));
        // Its merged cells are written so they read back as they were pasted.
        const QString shape = QStringLiteral("0,0 c1|c1b; 0,1 2x1 c2; 1,0 c3; 2,0 1x2 c4");
        QCOMPARE(tableShape(*doc), shape);
        QTextDocument again;
        rtf::read(box.textRTF(), again);
        QCOMPARE(tableShape(again), shape);
        QCOMPARE(pictures, QList<QSize>({QSize(8, 6), QSize(5, 5)}));
        QVERIFY(box.textRTF().contains(QLatin1String("\\pngblip")));
        // A picture alone, as an image viewer copies it.
        PastingBox alone;
        QMimeData picture;
        picture.setImageData(copied);
        alone.insertFromMimeData(&picture);
        QVERIFY(alone.textRTF().contains(
            QLatin1String("{\\pict\\pngblip\\picw5\\pich5\\picwgoal75\\pichgoal75")));
    }

    // Typing after hidden text gives text that shows.
    void typingBesideHiddenTextShows() {
        RichTextBox box;
        box.setTextRTF(QStringLiteral("{\\rtf1\\fs20 a{\\v skryté}}"));
        box.moveCursor(QTextCursor::End);
        QTest::keyClicks(&box, QStringLiteral("xy"));
        QTextCursor c(box.document());
        c.setPosition(box.document()->characterCount() - 1);
        QCOMPARE(c.charFormat().fontPointSize(), 10.0);
        QVERIFY(!c.charFormat().boolProperty(rtf::HiddenText));
        QVERIFY(box.textRTF().contains(QLatin1String("\\v0 xy")));
    }

    // A list starting at 5 shows 5. and 6. where Qt draws the labels of one starting at 1, and
    // goes on with 7. after Enter; the one starting at 1 stays Qt's own.
    void listStartingElsewhereShowsItsNumbers() {
        const QString note =
            QStringLiteral("{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs24\\pard{\\*\\pn"
                           "\\pnlvlbody\\pnstart%1\\pndec{\\pntxta.}}\\fi-360\\li720 a\\par b}");
        RichTextBox five, one;
        QRect labels[2];
        for (RichTextBox* box : {&five, &one}) {
            box->resize(300, 120);
            box->setTextRTF(note.arg(box == &five ? 5 : 1));
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box));
            const QImage image = box->viewport()->grab().toImage();
            const int textLeft = box->cursorRect(QTextCursor(box->document())).left();
            QRect& ink = labels[box == &five ? 0 : 1];
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < textLeft - 1; ++x)
                    if (image.pixel(x, y) != image.pixel(0, 0))
                        ink |= QRect(x, y, 1, 1);
        }
        QVERIFY(!rtf::drawsOwnLabels(one.document()->begin().textList()->format()));
        QVERIFY(!labels[1].isEmpty());
        QVERIFY2(!labels[0].isEmpty(), "no labels drawn");
        QVERIFY2(std::abs(labels[0].right() - labels[1].right()) <= 1 &&
                     std::abs(labels[0].top() - labels[1].top()) <= 2 &&
                     std::abs(labels[0].bottom() - labels[1].bottom()) <= 2,
                 qPrintable(QStringLiteral("%1,%2 %3x%4 beside Qt's %5,%6 %7x%8")
                                .arg(labels[0].x())
                                .arg(labels[0].y())
                                .arg(labels[0].width())
                                .arg(labels[0].height())
                                .arg(labels[1].x())
                                .arg(labels[1].y())
                                .arg(labels[1].width())
                                .arg(labels[1].height())));
        five.moveCursor(QTextCursor::End);
        QTest::keyClick(&five, Qt::Key_Return);
        QTest::keyClicks(&five, QStringLiteral("c"));
        const QTextBlock last = five.document()->lastBlock();
        QCOMPARE(rtf::listLabel(*last.textList(), last), QStringLiteral("7."));
        const QString written = five.textRTF();
        QVERIFY2(written.contains(QLatin1String("\\pnstart5")) &&
                     written.contains(QLatin1String(" 7.\\tab}")),
                 qPrintable(written));
    }

    // A link opens on a click with Ctrl held; a plain click only places the caret.
    void ctrlClickOpensALink() {
        RichTextBox box;
        box.resize(400, 200);
        box.setTextRTF(QStringLiteral(
            "{\\rtf1 see {\\field{\\*\\fldinst{HYPERLINK \"https://example.sk/\"}}{\\fldrslt{\\ul link}}} "
            "{\\field{\\*\\fldinst{HYPERLINK \\\\l \"place\"}}{\\fldrslt{\\ul here}}}}"));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy opened(&box, &RichTextBox::linkActivated);
        const auto pointAt = [&box](int position) {
            QTextCursor c(box.document());
            c.setPosition(position);
            return box.cursorRect(c).center() + QPoint(3, 0);
        };
        QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, pointAt(5));
        QCOMPARE(opened.size(), 0);
        QTest::mouseClick(box.viewport(), Qt::LeftButton, Qt::ControlModifier, pointAt(5));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().first().toString(), QStringLiteral("https://example.sk/"));
        QTest::mouseClick(box.viewport(), Qt::LeftButton, Qt::ControlModifier, pointAt(10));
        QCOMPARE(opened.size(), 1);
    }
};

QTEST_MAIN(RichTextBoxTest)
#include "richtextbox.moc"
