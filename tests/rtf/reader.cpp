// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF reader on its own: code pages, Unicode, destinations, paragraphs, formatting and
// malformed input.
#include "host/rtfreader.h"

#include "host/rtfformat.h"
#include "host/rtflist.h"
#include "host/rtfwriter.h"
#include "rtf/documentmodel.h"

#include <QBuffer>
#include <QImage>
#include <QStringDecoder>
#include <QTextImageFormat>
#include <QUrl>
#include <QtEndian>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace {

QString wrap(const char* body) {
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}"
                          "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset204 Arial Cyr;}"
                          "{\\f3\\fnil\\fcharset128 MS Gothic;}{\\f4\\fnil\\fcharset134 SimSun;}}"
                          "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}") +
           QString::fromUtf8(body) + u'}';
}

// The character format at a position of the document's text.
QTextCharFormat formatAt(const QTextDocument& doc, int position) {
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(position + 1);
    return c.charFormat();
}

QString family(const QTextCharFormat& f) {
    const QStringList families = f.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

} // namespace

class ReaderTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void onlyRtfIsReadAsRtf_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isRtf");
        QTest::newRow("document") << "{\\rtf1 x}" << true;
        QTest::newRow("leading blanks and BOM") << QStringLiteral("\uFEFF \r\n{\\rtf1 x}") << true;
        QTest::newRow("plain") << "foobar" << false;
        QTest::newRow("group without rtf") << "{\\b x}" << false;
        QTest::newRow("lone control word") << "\\foobar" << false;
        QTest::newRow("empty") << "" << false;
    }
    void onlyRtfIsReadAsRtf() {
        QFETCH(QString, text);
        QFETCH(bool, isRtf);
        QCOMPARE(rtf::isRtf(text), isRtf);
        if (!isRtf) {
            QTextDocument doc;
            rtf::read(text, doc);
            QCOMPARE(doc.toPlainText(), text);
            QCOMPARE(rtf::plainText(text), text);
        }
    }

    // Text that is not RTF goes in as the note can keep it: what RTF could not carry stays out.
    void plainTextIsWhatANoteCanKeep() {
        const QString input =
            QStringLiteral("a\r\nb\rc\u0001\uFFFCd") + QChar(0xD800) + QStringLiteral("e\tf");
        const QString expected = QStringLiteral("a\nb\nc") + QStringLiteral("d\uFFFDe\tf");
        QCOMPARE(rtf::plainText(input), expected);
        QTextDocument doc;
        rtf::read(input, doc);
        QCOMPARE(doc.toPlainText(), expected);
        QCOMPARE(doc.blockCount(), 3);
    }

    // \'hh goes by the current font's charset, else by \ansicpg.
    void bytesDecodeByCodePage_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("font charset 238") << wrap("\\f0 \\'e8\\'9d") << QStringLiteral("čť");
        QTest::newRow("font charset 0 in a 1250 document") << wrap("\\f1 \\'e8") << QStringLiteral("è");
        QTest::newRow("font charset 204") << wrap("\\f2 \\'c0\\'e1") << QStringLiteral("Аб");
        QTest::newRow("Shift_JIS pair") << wrap("\\f3 \\'82\\'a0") << QStringLiteral("あ");
        QTest::newRow("Shift_JIS trail byte written as a letter")
            << wrap("\\f3 \\'83n") << QStringLiteral("ハ");
        QTest::newRow("GBK") << wrap("\\f4 \\'c4\\'e3\\'ba\\'c3") << QStringLiteral("你好");
        QTest::newRow("font switch between bytes") << wrap("\\f0\\'e8\\f2\\'e8") << QStringLiteral("čи");
        QTest::newRow("unknown font: document code page") << wrap("\\f9 \\'e8") << QStringLiteral("č");
        QTest::newRow("no font table") << "{\\rtf1\\ansi\\ansicpg1251 \\'c0}" << QStringLiteral("А");
        QTest::newRow("\\cpg in the font table")
            << "{\\rtf1\\ansi{\\fonttbl{\\f0\\cpg1250 A;}}\\f0 \\'9e}" << QStringLiteral("ž");
        QTest::newRow("unknown code page") << "{\\rtf1\\ansi\\ansicpg99999 \\'e8}" << QStringLiteral("è");
        QTest::newRow("\\mac") << "{\\rtf1\\mac \\'8a}" << QStringLiteral("ä");
        QTest::newRow("hex followed by blanks") << wrap("\\'e8  x") << QStringLiteral("č  x");
        QTest::newRow("bad hex digits") << wrap("a\\'zzb") << QStringLiteral("azzb");
        QTest::newRow("characters the caller decoded") << wrap("\\f3 čí") << QStringLiteral("čí");
    }
    void bytesDecodeByCodePage() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(rtf::plainText(input), expected);
    }

    void codePagesAreAvailable() {
        for (const char* name :
             {"windows-1250", "windows-1251", "windows-1252", "windows-1253", "windows-1254", "windows-1255",
              "windows-1256", "windows-1257", "windows-1258", "windows-874", "windows-932", "windows-936",
              "windows-949", "windows-950", "macintosh"})
            QVERIFY2(QStringDecoder(name).isValid(), name);
    }

    void unicodeEscapes_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("\\u with ? fallback") << wrap("\\u269?x") << QStringLiteral("čx");
        QTest::newRow("\\u with hex fallback") << wrap("\\u269\\'e8x") << QStringLiteral("čx");
        QTest::newRow("\\uc2") << wrap("\\uc2\\u269\\'e8\\'e8x") << QStringLiteral("čx");
        QTest::newRow("\\uc0") << wrap("\\uc0\\u269 x") << QStringLiteral("čx");
        QTest::newRow("negative") << wrap("\\u-3913?") << QString(QChar(0xF0B7));
        QTest::newRow("surrogate pair") << wrap("\\u-10179?\\u-9047?") << QStringLiteral("\U0001F4A9");
        QTest::newRow("lone high surrogate") << wrap("\\u-10179?x") << QStringLiteral("\uFFFDx");
        QTest::newRow("lone low surrogate") << wrap("\\u-9047?x") << QStringLiteral("\uFFFDx");
        QTest::newRow("high then paragraph") << wrap("\\u-10179?\\par x") << QStringLiteral("\uFFFD\nx");
        QTest::newRow("fallback stops at a group's end")
            << wrap("{\\uc3\\u269 ab}cd") << QStringLiteral("čcd");
        QTest::newRow("\\uc belongs to its group")
            << wrap("{\\uc2\\u269??}\\u269?x") << QStringLiteral("ččx");
        QTest::newRow("a control word counts as one") << wrap("\\u269\\par x") << QStringLiteral("čx");
        QTest::newRow("huge value") << wrap("\\u99999999999?x") << QStringLiteral("\uFFFDx");
    }
    void unicodeEscapes() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(rtf::plainText(input), expected);
    }

    // What is not text of the note stays out of it.
    void destinations_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("tables, stylesheet, info")
            << "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}{\\stylesheet{\\s1 "
               "Heading;}}"
               "{\\info{\\title T}{\\author A}}text}"
            << "text";
        QTest::newRow("ignorable destination") << "{\\rtf1 a{\\*\\unknown b{c}}d}"
                                               << "ad";
        QTest::newRow("the fallback of a table in a cell")
            << "{\\rtf1\\trowd\\cellx900\\pard\\intbl\\itap2 a\\nestcell{\\*\\nesttableprops\\trowd\\cellx500"
               "\\nestrow}{\\nonesttables a\\par}\\pard\\intbl\\itap1 b\\cell\\row}"
            << "a\nb";
        QTest::newRow("picture with \\bin holding braces")
            << QStringLiteral("{\\rtf1 a{\\pict\\pngblip\\bin6 }}{\\{x}b}") << "ab";
        QTest::newRow("\\bin in text") << "{\\rtf1 a\\bin3 xyzb}"
                                       << "ab";
        QTest::newRow("theme data") << "{\\rtf1 a{\\*\\themedata 504b0304}b}"
                                    << "ab";
        QTest::newRow("field result shown, instruction not")
            << "{\\rtf1 see {\\field{\\*\\fldinst{HYPERLINK \"http://x\"}}{\\fldrslt{\\ul link}}}.}"
            << "see link.";
        QTest::newRow("footnote: neither mark nor text")
            << "{\\rtf1 a{\\super\\chftn{\\footnote\\pard{\\super\\chftn} note}}b}"
            << "ab";
        QTest::newRow("header and footer") << "{\\rtf1{\\header h}{\\footer f}body}"
                                           << "body";
        QTest::newRow("list label shown, list definition not")
            << "{\\rtf1{\\fonttbl{\\f2\\fnil\\fcharset2 "
               "Symbol;}}{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}A\\par}"
            << QStringLiteral("\u2022\tA");
        QTest::newRow("Outlook HTML tags")
            << "{\\rtf1\\fromhtml1{\\*\\htmltag84 <b>}\\htmlrtf{\\b\\htmlrtf0 bold}}"
            << "bold";
    }
    void destinations() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(rtf::plainText(input), expected);
    }

    void specialCharacters() {
        const QString text = rtf::plainText(
            QStringLiteral("{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\~\\-\\_"
                           "\\{\\}\\\\\\tab x\\line y\\emspace\\enspace\\qmspace\\zwj\\zwnj}"));
        QCOMPARE(text, QStringLiteral("\u2014\u2013\u2018\u2019\u201C\u201D\u2022 \u00AD\u2011{}\\\tx\ny"
                                      "\u2003\u2002\u2005\u200D\u200C"));
        QTextDocument doc;
        rtf::read(QStringLiteral("{\\rtf1 x\\line y\\~z}"), doc);
        QCOMPARE(doc.toRawText(), QStringLiteral("x\u2028y\u00A0z"));
    }

    void paragraphs_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("final \\par ends the last paragraph") << "{\\rtf1 a\\par b\\par}"
                                                             << "a\nb";
        QTest::newRow("no final \\par") << "{\\rtf1 a\\par b}"
                                        << "a\nb";
        QTest::newRow("empty paragraphs kept") << "{\\rtf1 a\\par\\par\\par b}"
                                               << "a\n\n\nb";
        QTest::newRow("backslash newline") << "{\\rtf1 a\\\nb\\\r\nc}"
                                           << "a\nb\nc";
        QTest::newRow("line ends in the source are not text") << "{\\rtf1 a\r\nb\nc}"
                                                              << "abc";
        QTest::newRow("table cells")
            << "{\\rtf1\\trowd\\cellx100\\cellx200 a\\cell b\\cell\\row c\\cell\\cell d\\row}"
            << "a\tb\nc\t\td";
        QTest::newRow("cell marks outside the text")
            << "{\\rtf1{\\colortbl;\\red1\\cell\\row;}a\\cell b\\cell\\row}"
            << "a\tb";
        QTest::newRow("page break") << "{\\rtf1 a\\page b\\par\\page c}"
                                    << "a\nb\nc";
        QTest::newRow("paragraph separator in text") << QStringLiteral("{\\rtf1 a\\u8233?b}") << "a\nb";
        QTest::newRow("control characters dropped")
            << QStringLiteral("{\\rtf1 a\u0001\u0000b\\u10?c}") << "abc";
    }
    void paragraphs() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(rtf::plainText(input), expected);
        QTextDocument doc;
        rtf::read(input, doc);
        QCOMPARE(labelledText(doc), expected);
    }

    // WordPad's table: rows, cells of several paragraphs, widths and borders.
    void tables() {
        QTextDocument doc;
        rtf::read(wrap("x\\par\\trowd\\trgaph108\\clbrdrt\\brdrs\\brdrw10\\cellx1500\\cellx4500\\pard\\intbl "
                       "a1\\par "
                       "a2\\cell\\qc b\\cell\\row\\trowd\\cellx1500\\cellx4500\\pard\\intbl c\\cell "
                       "d\\cell\\row\\pard y"),
                  doc);
        QCOMPARE(labelledText(doc), QStringLiteral("x\na1\na2\tb\nc\td\ny"));
        QTextCursor c(&doc);
        c.setPosition(int(doc.toPlainText().indexOf(u'b')));
        const QTextTable* table = c.currentTable();
        QVERIFY(table);
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 2);
        QCOMPARE(table->cellAt(0, 0).lastCursorPosition().block().text(), QStringLiteral("a2"));
        QCOMPARE(c.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        const QList<QTextLength> widths = table->format().columnWidthConstraints();
        QCOMPARE(widths.size(), 2);
        QCOMPARE(widths[0].rawValue(), 100.0);
        QCOMPARE(widths[1].rawValue(), 200.0);
        QCOMPARE(table->format().border(), 1.0);
        QCOMPARE(doc.blockCount(), 7); // no paragraph added around the table
        const QString written = rtf::write(doc);
        QVERIFY2(
            written.contains(QLatin1String("\\trowd\\trgaph108\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs")),
            qPrintable(written));
        QVERIFY(written.contains(QLatin1String("\\cellx1500")));
        QVERIFY(written.contains(QLatin1String("\\cellx4500")));
        QVERIFY(written.contains(
            QLatin1String("\\pard\\intbl a1\\par\r\na2\\cell \\pard\\qc\\intbl b\\cell\\row")));
        QTextDocument again;
        rtf::read(written, again);
        QCOMPARE(documentModel(again), documentModel(doc));
        // A table that starts the note leaves the paragraph after it its own format.
        rtf::read(wrap("\\trowd\\cellx1000\\pard\\intbl a\\cell\\row\\pard\\qr b"), doc);
        QCOMPARE(doc.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        rtf::read(rtf::write(doc), again);
        QCOMPARE(documentModel(again), documentModel(doc));
        // And an empty paragraph before a table its own, not that of the table's first paragraph.
        rtf::read(wrap("a\\par\\pard\\par\\trowd\\cellx1000\\pard\\qj\\intbl b\\cell\\row\\pard c"), doc);
        QCOMPARE(doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);
        QVERIFY(QTextCursor(doc.findBlockByNumber(2)).currentTable());
        // Items of one look before, in and after a cell are lists of their own, as they read back;
        // between two tables is Qt's plain paragraph, no item of the table after it.
        rtf::read(QStringLiteral("{\\rtf{\\pn}\\par\\itap2\\cell\\row l\\nestrow"), doc);
        QCOMPARE(labelledText(doc), QStringLiteral("1\t\n\n1\tl"));
        rtf::read(rtf::write(doc), again);
        QCOMPARE(labelledText(again), labelledText(doc));
        QCOMPARE(rtf::write(again), rtf::write(doc));
        // An empty list item before a table in a cell is kept; Qt's own paragraph there is not.
        rtf::read(QStringLiteral("{\\rtf\\cell{{\\pn\\pnlvlblt}{\\par}\\pard\\intbl\\itap2m\\nestrow}n\\row"),
                  doc);
        const QString kept = rtf::write(doc);
        QVERIFY2(kept.contains(QLatin1String("\\intbl{\\pntext\\f1\\'b7\\tab}\\par")), qPrintable(kept));
        rtf::read(kept, again);
        QCOMPARE(rtf::write(again), kept);
        // Rows of a table in a cell that run past the table's rows are written once, not forever.
        const QByteArray pastItsRows = QByteArray::fromBase64(
            "e1xydGYxXHRyb3dkXGNlbGx4MzAwMFxwYXJkXGludGJsXGl0YXAzIGRcbmVzdGNlbGx7XCpcbmVzdHRhYmxlcHJvcHNcdHJv"
            "d2RcYzAxMDAwOTAwMDAwM2x2bWdmXGNlbGx4MTAwXHRyb3dkMFxuZXN0cm93fXtcbm9uZXN0dGFibGVzXHBhcn1ccGFyZFxp"
            "bnRibFxpXHJvdyBtXG5lc3RjZWxsaXtccnRmMVxhbnNpXP90cm93ZFx0cmdhcGgxf3tccnRmZm9udGVyXGNoZnRue1xmb29r"
            "ZWllbGx4NTk3dTI2OVwnZThcJ2U9OGN7a2Voc1zSZlx1sLCwsLCwsLCwsLCwsLCwsLCwsLCwsLCwsLCwsGFcY2VsbJBbIgCQ"
            "YQAAIGIYAGVsbFxyb3dcdHJvd2RcY3FsbHgAAQAAEgAAAAAAAP//////////AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAMTk5"
            "OVxjMDtccmVkMHxn");
        QStringDecoder cp1250("windows-1250");
        rtf::read(QString(cp1250.decode(pastItsRows)), doc);
        const QString once = rtf::write(doc);
        QVERIFY(once.size() < 100 * pastItsRows.size());
        rtf::read(once, again);
        QVERIFY(again.toPlainText().contains(QStringLiteral("a bell")));
        QCOMPARE(rtf::write(again), once);
        // A list item in a cell stays the cell's one paragraph.
        rtf::read(
            wrap("\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell{\\*\\pn\\pnlvlblt}b\\cell\\row\\pard c"),
            doc);
        QCOMPARE(labelledText(doc), QStringLiteral("a\t\u2022\tb\nc"));
        rtf::read(rtf::write(doc), again);
        QCOMPARE(documentModel(again), documentModel(doc));
        // A row mark outside a table ends a paragraph, and makes no table of it.
        rtf::read(QStringLiteral("{\\rtf1 a\\row b}"), doc);
        QVERIFY(!QTextCursor(doc.begin()).currentTable());
        QCOMPARE(doc.blockCount(), 2);
    }

    // Merged cells become spans and tables in cells nested tables, in each of the forms Word
    // writes them, and come back the same from what the writer makes of them.
    void mergedAndNestedCells_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("written"); // what the writer puts in the first row's definition
        QTest::newRow("\\clmgf and \\clmrg")
            << wrap("\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000\\pard\\intbl a\\cell\\cell "
                    "b\\cell\\row"
                    "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl c\\cell d\\cell e\\cell\\row")
            << "0,0 1x2 a; 0,2 b; 1,0 c; 1,1 d; 1,2 e"
            << "\\trowd\\trgaph108\\cellx2000\\cellx3000\\pard\\intbl a\\cell b\\cell\\row";
        QTest::newRow("a wide cell ends at a later edge")
            << wrap("\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl a\\cell b\\cell c\\cell\\row"
                    "\\trowd\\cellx1000\\cellx3000\\pard\\intbl d\\cell e\\cell\\row")
            << "0,0 a; 0,1 b; 0,2 c; 1,0 d; 1,1 1x2 e"
            << "\\trowd\\trgaph108\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl a\\cell b\\cell "
               "c\\cell\\row";
        // Where a row's last cell says it ends makes no column: it reaches the table's right edge.
        QTest::newRow("a row ending short of the others")
            << wrap("\\trowd\\cellx1000\\cellx2500\\pard\\intbl a\\cell b\\cell\\row"
                    "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl c\\cell d\\cell e\\cell\\row")
            << "0,0 a; 0,1 1x2 b; 1,0 c; 1,1 d; 1,2 e"
            << "\\trowd\\trgaph108\\cellx1000\\cellx3000\\pard\\intbl a\\cell b\\cell\\row";
        QTest::newRow("\\clvmgf and \\clvmrg")
            << wrap("\\trowd\\clvmgf\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
                    "\\trowd\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl\\cell c\\cell\\row"
                    "\\trowd\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl\\cell d\\cell\\row")
            << "0,0 3x1 a; 0,1 b; 1,1 c; 2,1 d"
            << "\\trowd\\trgaph108\\clvmgf\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row\r\n"
               "\\trowd\\trgaph108\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl\\cell \\pard\\intbl "
               "c\\cell\\row";
        QTest::newRow("merged down the last column")
            << wrap("\\trowd\\cellx1000\\clvmgf\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
                    "\\trowd\\cellx1000\\clvmrg\\cellx2000\\pard\\intbl c\\cell\\cell\\row")
            << "0,0 a; 0,1 2x1 b; 1,0 c"
            << "\\pard\\intbl c\\cell \\pard\\intbl\\cell\\row";
        QTest::newRow("both ways, cell by cell")
            << wrap("\\trowd\\clmgf\\clvmgf\\cellx1000\\clmrg\\clvmgf\\cellx2000\\cellx3000\\pard\\intbl "
                    "a\\cell\\cell b\\cell\\row"
                    "\\trowd\\clmgf\\clvmrg\\cellx1000\\clmrg\\clvmrg\\cellx2000\\cellx3000\\pard\\intbl "
                    "\\cell\\cell c\\cell\\row")
            << "0,0 2x1 a; 0,1 b; 1,1 c" // no row has an edge between the merged columns
            << "\\trowd\\trgaph108\\clvmgf\\cellx2000\\cellx3000";
        QTest::newRow("a whole row merged into the one above")
            << wrap("\\trowd\\clvmgf\\cellx1000\\clvmgf\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
                    "\\trowd\\clvmrg\\cellx1000\\clvmrg\\cellx2000\\pard\\intbl\\cell\\cell\\row\\pard x")
            << "0,0 2x1 a; 0,1 2x1 b"
            << "\\pard\\intbl a\\cell "
               "b\\cell\\row\r\n\\trowd\\trgaph108\\clvmrg\\cellx1000\\clvmrg\\cellx2000"
               "\\pard\\intbl\\cell \\pard\\intbl\\cell\\row";
        // The text of a merged cell is kept, in the cell it merges into.
        QTest::newRow("text in merged cells")
            << wrap("\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
                    "\\trowd\\clvmrg\\cellx2000\\pard\\intbl c\\cell\\row")
            << "0,0 2x1 a|b|c"
            << "\\pard\\intbl a\\par\r\nb\\par\r\nc\\cell\\row";
        QTest::newRow("a numbered list in a cell counts on")
            << wrap("\\trowd\\cellx1000\\cellx2000\\pard\\intbl{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}x\\par y"
                    "\\par z\\cell\\pard\\intbl b\\cell\\row")
            << "0,0 x|y|z; 0,1 b"
            << "{\\pntext\\f0 2.\\tab}y\\par\r\n{\\pntext\\f0 3.\\tab}z\\cell";
        QTest::newRow("list items in merged cells are one list")
            << wrap(
                   "\\trowd\\clvmgf\\cellx1000\\cellx2000\\pard\\intbl{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}x"
                   "\\cell\\pard\\intbl "
                   "b\\cell\\row\\trowd\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl{\\*\\pn"
                   "\\pnlvlbody\\pndec{\\pntxta.}}y\\cell\\pard\\intbl c\\cell\\row")
            << "0,0 2x1 x|y; 0,1 b; 1,1 c"
            << "{\\pntext\\f0 2.\\tab}y\\cell";
        QTest::newRow("\\clvmrg with nothing above is a cell of its own")
            << wrap("\\trowd\\clvmrg\\cellx1000\\clmrg\\cellx2000\\pard\\intbl a\\cell b\\cell\\row")
            << "0,0 a|b"
            << "\\trowd\\trgaph108\\cellx2000\\pard\\intbl a\\par\r\nb\\cell\\row";
        QTest::newRow("\\clvmrg below a cell of other columns")
            << wrap("\\trowd\\clvmgf\\cellx2000\\pard\\intbl a\\cell\\row"
                    "\\trowd\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl b\\cell c\\cell\\row")
            << "0,0 1x2 a; 1,0 b; 1,1 c"
            << "\\trowd\\trgaph108\\cellx2000\\pard\\intbl a\\cell\\row";
        // Tables in cells, as Word writes them: the inner rows defined after their cells.
        QTest::newRow("a table in a cell")
            << wrap("\\trowd\\cellx3000\\cellx6000\\pard\\intbl\\itap1 A\\cell\\pard\\intbl\\itap2 "
                    "n1\\nestcell "
                    "n2\\nestcell{\\*\\nesttableprops\\trowd\\clbrdrt\\brdrs\\cellx1000\\cellx2000\\nestrow}"
                    "{\\nonesttables\\par}\\pard\\intbl\\itap1 after\\cell\\trowd\\cellx3000\\cellx6000\\row")
            << "0,0 A; 0,1 |after; >0,0 n1; >0,1 n2"
            << "\\trowd\\trgaph108\\cellx3000\\cellx6000\\pard\\intbl A\\cell \\pard\\intbl\\itap2 "
               "n1\\nestcell "
               "n2\\nestcell{\\*"
               "\\nesttableprops\\trowd\\trgaph108\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
               "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx1000\\clbrdrt\\brdrs\\brdrw10\\clbrd"
               "rl\\brdrs"
               "\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx2000\\nestrow}{"
               "\\nonesttables\\par}"
               "\r\n\\pard\\intbl after\\cell\\row";
        QTest::newRow("between paragraphs of a cell, its row defined only before")
            << wrap("\\trowd\\cellx3000\\pard\\intbl x\\par\\pard\\intbl\\itap2 "
                    "n\\nestcell{\\*\\nesttableprops"
                    "\\trowd\\cellx1000\\nestrow}{\\nonesttables\\par}\\pard\\intbl\\itap1 "
                    "y\\cell\\row\\pard z")
            << "0,0 x|y; >0,0 n"
            << "\\trowd\\trgaph108\\cellx3000\\pard\\intbl x\\par";
        QTest::newRow("three deep")
            << wrap("\\trowd\\cellx3000\\pard\\intbl\\itap3 "
                    "deep\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000"
                    "\\nestrow}{\\nonesttables\\par}\\pard\\intbl\\itap2 "
                    "mid\\nestcell{\\*\\nesttableprops\\trowd"
                    "\\cellx2000\\nestrow}{\\nonesttables\\par}\\pard\\intbl\\itap1 top\\cell\\row")
            << "0,0 |top; >0,0 |mid; >>0,0 deep"
            << "\\pard\\intbl\\itap3 "
               "deep\\nestcell{\\*\\nesttableprops\\trowd\\trgaph108\\cellx1000\\nestrow}";
        QTest::newRow("merged cells in a table in a cell")
            << wrap("\\trowd\\cellx3000\\pard\\intbl\\itap2 "
                    "a\\nestcell\\nestcell{\\*\\nesttableprops\\trowd\\clmgf"
                    "\\cellx1000\\clmrg\\cellx2000\\nestrow}{\\nonesttables\\par}b\\nestcell c\\nestcell{\\*"
                    "\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
                    "\\pard\\intbl "
                    "after\\cell\\row")
            << "0,0 |after; >0,0 1x2 a; >1,0 b; >1,1 c"
            << "{\\*\\nesttableprops\\trowd\\trgaph108\\cellx2000\\nestrow}";
        // Malformed nesting, as the fuzzer found it: Qt's paragraph before a table that starts a
        // cell joins no list, and a table built before the one in front of it keeps its frame.
        QTest::newRow("a table starting a cell, a list item first in it")
            << wrap("\\cell{{\\pn\\par}s\\itap2\\nestrow}n\\row") << "0,0 ; 0,1 |n; >0,0 s"
            << "\\pard\\intbl\\cell \\pard{\\*\\pn\\pnlvlbody";
        QTest::newRow("a table in a cell right before a table built already")
            << wrap("\\itap3\\nestcell\\nestrow\\row\\cell[\\row") << "0,0  / 0,0 ; 0,1 ["
            << "\\cellx4680\\cellx9360\\pard\\intbl\\cell ";
        QTest::newRow("nested cells outside a table stay text")
            << wrap("x\\par\\pard\\intbl\\itap2 n\\nestcell\\pard y") << ""
            << "x\\par\r\nn\\par\r\ny";
    }
    void mergedAndNestedCells() {
        QFETCH(QString, input);
        QFETCH(QString, shape);
        QFETCH(QString, written);
        QTextDocument doc;
        rtf::read(input, doc);
        QCOMPARE(tableShape(doc), shape);
        const QString out = rtf::write(doc);
        QVERIFY2(QString(out).remove(QLatin1String("\\f0\\fs24")).contains(written), qPrintable(out));
        QTextDocument again;
        rtf::read(out, again);
        QCOMPARE(documentModel(again), documentModel(doc));
    }

    void alignmentBelongsToParagraphs() {
        QTextDocument doc;
        rtf::read(QStringLiteral("{\\rtf1 \\qc a\\par \\pard b\\par {\\qr c\\par}d\\par\\qj e\\par\\qr f}"),
                  doc);
        QCOMPARE(doc.blockCount(), 6);
        const Qt::Alignment expected[] = {Qt::AlignHCenter, Qt::AlignLeft,    Qt::AlignRight,
                                          Qt::AlignLeft,    Qt::AlignJustify, Qt::AlignRight};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(doc.findBlockByNumber(i).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                     expected[i]);
    }

    void characterFormatting() {
        QTextDocument doc;
        // a: plain; b: bold; c: bold italic underlined red Times 10 pt; d: back to b's state after
        // the group; e: \plain; f: \b0 after \b; g: \ulnone; h: \cf0 and auto colour entry.
        rtf::read(wrap("a\\b b{\\i\\ul\\cf1\\f1\\fs20 c}d\\plain e\\b\\b0 f\\ul\\ulnone g\\cf2\\cf0 h"), doc);
        QCOMPARE(doc.toPlainText(), QStringLiteral("abcdefgh"));
        const QTextCharFormat a = formatAt(doc, 0), b = formatAt(doc, 1), c = formatAt(doc, 2),
                              d = formatAt(doc, 3), e = formatAt(doc, 4), f = formatAt(doc, 5),
                              g = formatAt(doc, 6), h = formatAt(doc, 7);
        QCOMPARE(a.fontWeight(), int(QFont::Normal));
        QCOMPARE(family(a), QStringLiteral("Arial"));
        QCOMPARE(a.fontPointSize(), 12.0);
        QCOMPARE(b.fontWeight(), int(QFont::Bold));
        QCOMPARE(c.fontWeight(), int(QFont::Bold));
        QVERIFY(c.fontItalic());
        QVERIFY(c.fontUnderline());
        QCOMPARE(c.foreground().color(), QColor(255, 0, 0));
        QCOMPARE(family(c), QStringLiteral("Times New Roman"));
        QCOMPARE(c.fontPointSize(), 10.0);
        QCOMPARE(d.fontWeight(), int(QFont::Bold));
        QVERIFY(!d.fontItalic());
        QVERIFY(!d.hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(family(d), QStringLiteral("Arial"));
        QCOMPARE(e.fontWeight(), int(QFont::Normal));
        QCOMPARE(f.fontWeight(), int(QFont::Normal));
        QVERIFY(!g.fontUnderline());
        QVERIFY(!h.hasProperty(QTextFormat::ForegroundBrush));
    }

    // Each attribute beyond the basic ones, read into the property the editor shows it with.
    void moreCharacterFormats_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("property");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("\\strike") << wrap("\\strike x") << int(QTextFormat::FontStrikeOut) << QVariant(true);
        QTest::newRow("\\super") << wrap("\\super x") << int(QTextFormat::TextVerticalAlignment)
                                 << QVariant(int(QTextCharFormat::AlignSuperScript));
        QTest::newRow("\\sub") << wrap("\\sub x") << int(QTextFormat::TextVerticalAlignment)
                               << QVariant(int(QTextCharFormat::AlignSubScript));
        QTest::newRow("\\nosupersub")
            << wrap("\\super\\nosupersub x") << int(QTextFormat::TextVerticalAlignment) << QVariant();
        QTest::newRow("\\highlight") << wrap("\\highlight2 x") << int(QTextFormat::BackgroundBrush)
                                     << QVariant(QBrush(QColor(0, 0, 255)));
        QTest::newRow("\\cb") << wrap("\\cb1 x") << int(QTextFormat::BackgroundBrush)
                              << QVariant(QBrush(QColor(255, 0, 0)));
        QTest::newRow("\\highlight0")
            << wrap("\\highlight1\\highlight0 x") << int(QTextFormat::BackgroundBrush) << QVariant();
        QTest::newRow("\\v keeps its size")
            << wrap("\\fs20\\v x") << int(rtf::HiddenPointSize) << QVariant(10.0);
        QTest::newRow("charset") << wrap("\\f2 x") << int(rtf::FontCharset) << QVariant(204);
        QTest::newRow("family") << wrap("\\f1 x") << int(QTextFormat::FontStyleHint)
                                << QVariant(int(QFont::Serif));
        QTest::newRow("link")
            << wrap("{\\field{\\*\\fldinst{HYPERLINK \"https://a.sk/b?c\"}}{\\fldrslt{\\ul x}}}")
            << int(QTextFormat::AnchorHref) << QVariant(QStringLiteral("https://a.sk/b?c"));
        QTest::newRow("link to a place")
            << wrap("{\\field{\\*\\fldinst HYPERLINK \\\\l \"here\"}{\\fldrslt x}}")
            << int(QTextFormat::AnchorHref) << QVariant(QStringLiteral("#here"));
        QTest::newRow("link to a place, written as an address")
            << wrap("{\\field{\\*\\fldinst HYPERLINK #here}{\\fldrslt x}}") << int(QTextFormat::AnchorHref)
            << QVariant(QStringLiteral("#here"));
        QTest::newRow("link to nowhere")
            << wrap("{\\field{\\*\\fldinst HYPERLINK \\\\l \"##\"}{\\fldrslt x}}")
            << int(QTextFormat::AnchorHref) << QVariant();
        QTest::newRow("link through \\plain")
            << wrap("{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt\\plain x}}")
            << int(QTextFormat::AnchorHref) << QVariant(QStringLiteral("u"));
        QTest::newRow("other fields: no link") << wrap("{\\field{\\*\\fldinst PAGE}{\\fldrslt x}}")
                                               << int(QTextFormat::AnchorHref) << QVariant();
    }
    void moreCharacterFormats() {
        QFETCH(QString, input);
        QFETCH(int, property);
        QFETCH(QVariant, expected);
        QTextDocument doc;
        rtf::read(input, doc);
        QCOMPARE(doc.toPlainText(), QStringLiteral("x"));
        QCOMPARE(formatAt(doc, 0).property(property), expected);
    }

    void paragraphFormats_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("property");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("\\li") << wrap("\\li720 x") << int(QTextFormat::BlockLeftMargin) << QVariant(48.0);
        QTest::newRow("\\ri") << wrap("\\ri150 x") << int(QTextFormat::BlockRightMargin) << QVariant(10.0);
        QTest::newRow("\\fi") << wrap("\\fi-360 x") << int(QTextFormat::TextIndent) << QVariant(-24.0);
        QTest::newRow("\\sb") << wrap("\\sb120 x") << int(QTextFormat::BlockTopMargin) << QVariant(8.0);
        QTest::newRow("\\sa") << wrap("\\sa200 x") << int(QTextFormat::BlockBottomMargin)
                              << QVariant(200 / 15.0);
        QTest::newRow("\\sl\\slmult1")
            << wrap("\\sl276\\slmult1 x") << int(QTextFormat::LineHeight) << QVariant(115.0);
        QTest::newRow("\\sl exactly") << wrap("\\sl-300\\slmult0 x") << int(QTextFormat::LineHeightType)
                                      << QVariant(int(QTextBlockFormat::FixedHeight));
        QTest::newRow("\\pard resets")
            << wrap("\\li720\\sa200\\par\\pard x") << int(QTextFormat::BlockLeftMargin) << QVariant();
    }
    void paragraphFormats() {
        QFETCH(QString, input);
        QFETCH(int, property);
        QFETCH(QVariant, expected);
        QTextDocument doc;
        rtf::read(input, doc);
        QCOMPARE(doc.lastBlock().text(), QStringLiteral("x"));
        QCOMPARE(doc.lastBlock().blockFormat().property(property), expected);
    }

    // WordPad's \pn and Word's list table both give lists the document draws; the labels written
    // for readers without lists are not text.
    void lists_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("labels"); // each paragraph's label, "-" outside lists, "*" a bullet
        QTest::newRow("WordPad bullets, then numbers")
            << wrap("\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}\\fi-"
                    "360\\li720 "
                    "a\\par{\\pntext\\f2\\'B7\\tab}b\\par\\pard{\\pntext\\f0 "
                    "1)\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0"
                    "\\pnstart1\\pndec{\\pntxta)}}c\\par{\\pntext\\f0 2)\\tab}d\\par\\pard e")
            << "* * 1) 2) -";
        QTest::newRow("letters and roman numbers")
            << wrap("\\pard{\\*\\pn\\pnlvlbody\\pnlcltr{\\pntxta.}}a\\par\\pard{\\*\\pn\\pnlvlbody\\pnucrm{"
                    "\\pntxta.}}b\\par "
                    "c")
            << "a. I. II.";
        QTest::newRow("Word's list table")
            << wrap("{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}}"
                    "\\listid7}"
                    "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}\\listid8}}"
                    "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}{\\listoverride\\listid8\\ls2}}"
                    "{\\listtext 1.\\tab}\\pard\\ls1 a\\par{\\listtext 2.\\tab}\\pard\\ls1 b\\par"
                    "{\\listtext\\f2\\'B7\\tab}\\pard\\ls2 c\\par\\pard d")
            << "1. 2. * -";
        QTest::newRow("lists that look the same are one, as they are written back")
            << wrap("\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}a\\par{\\listtext 2.\\tab}\\pard\\ls3 "
                    "b\\par\\pard c")
            << "1. 2. -";
        QTest::newRow("labels keep no control characters")
            << wrap("\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxtb\\'01}{\\pntxta\\tab)}}a") << "1)";
        QTest::newRow("WordPad's list starting at 5")
            << wrap(
                   "\\pard{\\pntext\\f0 "
                   "5.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart5\\pndec{\\pntxta.}}"
                   "a\\par{\\pntext\\f0 "
                   "6.\\tab}b\\par\\pard{\\*\\pn\\pnlvlbody\\pnstart4\\pnlcrm{\\pntxta)}}c\\par"
                   "\\pard{\\*\\pn\\pnlvlbody\\pnstart27\\pnucltr}d\\par\\pard{\\*\\pn\\pnlvlblt\\pnstart5}e")
            << "5. 6. iv) AA *";
        QTest::newRow("Word's list starting at 3")
            << wrap("{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat3}\\listid7}}"
                    "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}"
                    "{\\listtext 3.\\tab}\\pard\\ls1 a\\par{\\listtext 4.\\tab}\\pard\\ls1 b")
            << "3. 4.";
        QTest::newRow("Word's levels: a sublist after an item numbers afresh")
            << wrap("{\\*\\listtable{\\list{\\listlevel\\levelnfc0}{\\listlevel\\levelnfc4}\\listid7}}"
                    "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}"
                    "{\\listtext 1.\\tab}\\pard\\ls1 a\\par{\\listtext a)\\tab}\\pard\\ls1\\ilvl1 b\\par"
                    "{\\listtext b)\\tab}\\pard\\ls1\\ilvl1 c\\par{\\listtext 2.\\tab}\\pard\\ls1 d\\par"
                    "{\\listtext a)\\tab}\\pard\\ls1\\ilvl1 e")
            << "1. a) b) 2. a)";
        QTest::newRow("a list ends at a paragraph outside it")
            << wrap("\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}a\\par\\pard "
                    "b\\par{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}c")
            << "1. - 1.";
    }
    void lists() {
        QFETCH(QString, input);
        QFETCH(QString, labels);
        QTextDocument doc;
        rtf::read(input, doc);
        QStringList got;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
            const QTextList* list = b.textList();
            got << (!list                                                         ? QStringLiteral("-")
                    : rtf::listStyle(list->format()) == QTextListFormat::ListDisc ? QStringLiteral("*")
                                                                                  : rtf::listLabel(*list, b));
        }
        QCOMPARE(got.join(u' '), labels);
        QVERIFY(!doc.toPlainText().contains(u'\t'));
    }

    // Pictures show at the size the file gives; the kinds the editor cannot draw as a framed box.
    void pictures_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QSize>("drawn"); // the size of the bitmap inside
        QImage red(3, 2, QImage::Format_RGB32);
        red.fill(Qt::red);
        QByteArray png, jpeg;
        QBuffer pngBuffer(&png), jpegBuffer(&jpeg);
        pngBuffer.open(QIODevice::WriteOnly);
        jpegBuffer.open(QIODevice::WriteOnly);
        red.save(&pngBuffer, "PNG");
        red.save(&jpegBuffer, "JPEG");
        QByteArray dib(40, '\0'); // BITMAPINFOHEADER of a 3 x 2 24-bit bitmap, then its rows
        qToLittleEndian<quint32>(40, dib.data());
        qToLittleEndian<qint32>(3, dib.data() + 4);
        qToLittleEndian<qint32>(2, dib.data() + 8);
        qToLittleEndian<quint16>(1, dib.data() + 12);
        qToLittleEndian<quint16>(24, dib.data() + 14);
        dib += QByteArray(24, '\x40');
        QByteArray wmf(18, '\0'); // a header, one StretchDIBits record, the end record
        qToLittleEndian<quint16>(1, wmf.data());
        qToLittleEndian<quint16>(9, wmf.data() + 2);
        QByteArray record(28, '\0');
        qToLittleEndian<quint32>(quint32(record.size() + dib.size()) / 2, record.data());
        qToLittleEndian<quint16>(0x0F43, record.data() + 4);
        const QByteArray end = QByteArray::fromHex("030000000000");
        // The same bitmap with a line drawn over it (MoveTo, LineTo).
        const QByteArray drawn =
            wmf + QByteArray::fromHex("050000001402000000000500000013020a000a00") + record + dib + end;
        wmf += record + dib + end;
        QTest::newRow("PNG") << "\\pngblip\\picw3\\pich2\\picwgoal900\\pichgoal600" << png << QSize(60, 40)
                             << QSize(3, 2);
        QTest::newRow("JPEG, scaled") << "\\jpegblip\\picw3\\pich2\\picwgoal300\\pichgoal300\\picscalex200"
                                      << jpeg << QSize(40, 20) << QSize(3, 2);
        QTest::newRow("DIB") << "\\dibitmap0\\picw3\\pich2" << dib << QSize(3, 2) << QSize(3, 2);
        QTest::newRow("WordPad's metafile")
            << "\\wmetafile8\\picw79\\pich53\\picwgoal45\\pichgoal30" << wmf << QSize(3, 2) << QSize(3, 2);
        QTest::newRow("EMF") << "\\emfblip\\picw2540\\pich1270" << QByteArray(100, '\x01') << QSize(96, 48)
                             << QSize(96, 48);
        QTest::newRow("a metafile drawing more than its bitmap")
            << "\\wmetafile8\\picwgoal1500\\pichgoal750" << drawn << QSize(100, 50) << QSize(100, 50);
        QTest::newRow("another metafile")
            << "\\wmetafile8\\picwgoal1500\\pichgoal750" << wmf.left(18) << QSize(100, 50) << QSize(100, 50);
    }
    void pictures() {
        QFETCH(QString, header);
        QFETCH(QByteArray, data);
        QFETCH(QSize, shown);
        QFETCH(QSize, drawn);
        // A control word just before the picture, whose delimiter must not turn into text after it.
        QString rtf = QStringLiteral("{\\rtf1 a\\b{\\pict{\\*\\picprop{\\sp{\\sn x}{\\sv 1}}}") + header +
                      u' ' + QString::fromLatin1(data.toHex()) + QStringLiteral("}b}");
        QTextDocument doc;
        rtf::read(rtf, doc);
        QCOMPARE(doc.toPlainText(), QStringLiteral("a\uFFFCb"));
        const QTextImageFormat image = formatAt(doc, 1).toImageFormat();
        QVERIFY(image.isValid());
        QCOMPARE(QSizeF(image.width(), image.height()).toSize(), shown);
        const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(image.name()));
        QImage loaded = resource.value<QImage>();
        if (loaded.isNull())
            QVERIFY(loaded.loadFromData(resource.toByteArray()));
        QCOMPARE(loaded.size(), drawn);
        QCOMPARE(rtf::plainText(rtf), QStringLiteral("ab"));
        // Written back as it came, data and all.
        const QString written = rtf::write(doc);
        QVERIFY(written.contains(QStringLiteral("{\\pict") + header.remove(u' ') + QStringLiteral("\r\n")));
        QTextDocument again;
        rtf::read(written, again);
        QCOMPARE(formatAt(again, 1).property(rtf::PictureData).toByteArray(), data);
        QCOMPARE(again.toPlainText(), doc.toPlainText());
        QCOMPARE(rtf::write(again), written);
    }

    void fontTableForms() {
        // Cocoa writes entries without braces; Word puts alternative names in \*\falt.
        QTextDocument doc;
        rtf::read(QStringLiteral("{\\rtf1{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;\\f1 Menlo;}\\f1 x}"),
                  doc);
        QCOMPARE(family(formatAt(doc, 0)), QStringLiteral("Menlo"));
        rtf::read(QStringLiteral("{\\rtf1{\\fonttbl{\\f0{\\*\\panose 0}Arial{\\*\\falt Helv};}}\\f0 x}"),
                  doc);
        QCOMPARE(family(formatAt(doc, 0)), QStringLiteral("Arial"));
    }

    // Broken input gives the text that can be recovered, and nothing after the document's end.
    void malformedInput_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing closing braces") << "{\\rtf1 a{\\b b"
                                                << "ab";
        QTest::newRow("text after the document") << "{\\rtf1 a}b}{c}"
                                                 << "a";
        QTest::newRow("backslash at the end") << "{\\rtf1 a\\"
                                              << "a";
        QTest::newRow("\\' at the end") << "{\\rtf1 a\\'"
                                        << "a";
        QTest::newRow("\\bin past the end") << "{\\rtf1 a\\bin999999999 b}"
                                            << "a";
        QTest::newRow("negative \\bin") << "{\\rtf1 a\\bin-5 b}"
                                        << "ab";
        QTest::newRow("huge parameters") << "{\\rtf1\\fs99999999999999\\cf99999\\f-7\\uc-3 a}"
                                         << "a";
        QTest::newRow("long control word") << QStringLiteral("{\\rtf1 a\\") + QString(100000, u'x') + " b}"
                                           << "ab";
        QTest::newRow("unterminated ignorable destination") << "{\\rtf1 a{\\*\\x b"
                                                            << "a";
        QTest::newRow("rows of a table in a cell outside cells")
            << "{\\rtf\\par\\itap2\\cell\\row\\par\\qd l\\nestrow"
            << "\n\n\nl";
    }
    void malformedInput() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(rtf::plainText(input), expected);
        QTextDocument doc;
        rtf::read(input, doc);
        QCOMPARE(labelledText(doc), expected);
        // What is made of it is written as it reads back.
        const QString written = rtf::write(doc);
        QTextDocument again;
        rtf::read(written, again);
        QCOMPARE(rtf::write(again), written);
    }

    void deepNestingNeedsNoDeepStack() {
        const int depth = 100000;
        const QString open = QStringLiteral("{\\b ").repeated(depth);
        const QString close = QString(depth, u'}');
        QCOMPARE(rtf::plainText(QStringLiteral("{\\rtf1 a") + open + QStringLiteral("b") + close +
                                QStringLiteral("c}")),
                 QStringLiteral("abc"));
        QTextDocument doc;
        rtf::read(QStringLiteral("{\\rtf1 a") + open + QStringLiteral("b") + close + QStringLiteral("c}"),
                  doc);
        QCOMPARE(doc.toPlainText(), QStringLiteral("abc"));
        QCOMPARE(formatAt(doc, 1).fontWeight(), int(QFont::Bold));
        QCOMPARE(formatAt(doc, 2).fontWeight(), int(QFont::Normal));
        QCOMPARE(rtf::plainText(QStringLiteral("{\\rtf1 x") + QString(depth, u'{')), QStringLiteral("x"));
        QCOMPARE(rtf::plainText(QStringLiteral("{\\rtf1 x{\\*\\y") + QString(depth, u'{')),
                 QStringLiteral("x"));
    }

    // A 50 MB note of many short formatted runs and paragraphs loads whole. (Its limits on runs
    // and paragraphs keep the time bounded; the text is never cut.)
    void hugeNoteKeepsItsText() {
        const QString unit = QStringLiteral("\\b x\\b0 y\\par ");
        QString input = QStringLiteral("{\\rtf1 ");
        const int count = 50 * 1024 * 1024 / int(unit.size());
        input.reserve(count * unit.size() + 16);
        for (int i = 0; i < count; ++i)
            input += unit;
        input += u'}';
        QTextDocument doc;
        doc.setUndoRedoEnabled(false);
        rtf::read(input, doc);
        QCOMPARE(doc.characterCount(), count * 3); // "xy" and a paragraph or line end each
        QVERIFY(doc.toRawText().startsWith(QStringLiteral("xy\u2029xy\u2029")));
        QCOMPARE(formatAt(doc, 0).fontWeight(), int(QFont::Bold));
        QCOMPARE(rtf::plainText(input).size(), qsizetype(count) * 3 - 1);
    }
};

QTEST_MAIN(ReaderTest)
#include "reader.moc"
