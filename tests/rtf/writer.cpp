// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF writer: the exact form of what it writes, its escapes, and that reading and writing
// again keeps every character and attribute and the same bytes.
#include "host/rtfreader.h"
#include "host/rtfwriter.h"
#include "host/rtfformat.h"
#include "host/rtflist.h"
#include "rtf/documentmodel.h"

#include <QStringDecoder>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace {

QTextCharFormat format(bool bold, bool italic, bool underline, QColor colour, const QString& family,
                       double size) {
    QTextCharFormat f;
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    if (colour.isValid())
        f.setForeground(colour);
    f.setFontFamilies(QStringList{family});
    f.setFontPointSize(size);
    return f;
}

// A note using everything the writer carries.
void fillNote(QTextDocument& doc) {
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor c(&doc);
    const QTextCharFormat plain = format(false, false, false, QColor(), QStringLiteral("Arial"), 12);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centre);
    c.insertText(QStringLiteral("Stretnutie "), plain);
    c.insertText(QStringLiteral("zajtra"), format(true, false, false, QColor(), QStringLiteral("Arial"), 12));
    c.insertText(QStringLiteral(" o 8:00"), plain);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right);
    c.insertText(QStringLiteral("Príliš žltučký kôň úpel ďábelské ódy"),
                 format(false, true, true, QColor(0, 0, 255), QStringLiteral("Times New Roman"), 10.5));
    c.insertBlock(QTextBlockFormat()); // an empty paragraph
    QTextBlockFormat justify;
    justify.setAlignment(Qt::AlignJustify);
    c.insertBlock(justify);
    c.insertText(QStringLiteral("{zátvorky} a \\ spätná\tlomka"),
                 format(true, true, true, QColor(255, 0, 0), QStringLiteral("Courier New"), 24));
    c.insertText(QStringLiteral("\u2028druhý riadok € \U0001F4A9 中"), plain);
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("čierna"),
                 format(false, false, false, QColor(0, 0, 0), QStringLiteral("Arial"), 12));
    c.insertBlock(QTextBlockFormat()); // the note ends with an empty paragraph
}

// A note with what WordPad adds beyond the basic formats: lists, links, indents and spacing.
void fillWordPadNote(QTextDocument& doc) {
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    QTextCursor c(&doc);
    QTextCharFormat plain = format(false, false, false, QColor(), QStringLiteral("Arial"), 12);
    QTextBlockFormat spaced;
    spaced.setLeftMargin(48);
    spaced.setRightMargin(10);
    spaced.setTextIndent(-24);
    spaced.setTopMargin(8);
    spaced.setBottomMargin(200 / 15.0);
    spaced.setLineHeight(115, QTextBlockFormat::ProportionalHeight);
    c.setBlockFormat(spaced);
    QTextCharFormat f = plain;
    f.setFontStrikeOut(true);
    c.insertText(QStringLiteral("preškrtnuté "), f);
    f = plain;
    f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    c.insertText(QStringLiteral("2"), f);
    f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    c.insertText(QStringLiteral("i"), f);
    f = plain;
    f.setForeground(QColor(255, 255, 255));
    f.setBackground(QColor(0, 0, 255));
    c.insertText(QStringLiteral(" biele na modrom "), f);
    f = plain;
    f.setAnchor(true);
    f.setAnchorHref(QStringLiteral("https://example.sk/a?b=\"c\""));
    f.setFontUnderline(true);
    c.insertText(QStringLiteral("odkaz"), f);
    f = plain;
    f.setFontFamilies(QStringList{QStringLiteral("MS Gothic")});
    f.setProperty(rtf::FontCharset, 128);
    f.setFontStyleHint(QFont::TypeWriter);
    c.insertText(QStringLiteral(" 日本"), f);
    QTextBlockFormat exact;
    exact.setLineHeight(20, QTextBlockFormat::FixedHeight);
    c.insertBlock(exact);
    c.insertText(QStringLiteral("presne"), plain);
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    c.insertBlock(QTextBlockFormat());
    c.createList(bullets);
    c.insertText(QStringLiteral("prvá"), plain);
    c.insertBlock();
    c.insertText(QStringLiteral("druhá"), plain);
    QTextListFormat numbers = rtf::numberedListFormat(QTextListFormat::ListLowerAlpha, 3);
    numbers.setNumberSuffix(QStringLiteral(")"));
    c.insertBlock(QTextBlockFormat());
    c.createList(numbers);
    c.insertText(QStringLiteral("c-čko"), plain);
    c.insertBlock();
    c.insertText(QStringLiteral("d-čko"), plain);
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("koniec"), plain);
}

void compareDocuments(const QTextDocument& a, const QTextDocument& b) {
    QCOMPARE(b.toRawText(), a.toRawText());
    QCOMPARE(b.blockCount(), a.blockCount());
    for (int i = 0; i < a.blockCount(); ++i)
        QCOMPARE(b.findBlockByNumber(i).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 a.findBlockByNumber(i).blockFormat().alignment() & Qt::AlignHorizontal_Mask);
    QTextCursor ca(const_cast<QTextDocument*>(&a)), cb(const_cast<QTextDocument*>(&b));
    for (int pos = 1; pos < a.characterCount(); ++pos) {
        ca.setPosition(pos);
        cb.setPosition(pos);
        if (ca.atBlockStart())
            continue; // a paragraph mark has no format of its own in RTF
        const QTextCharFormat fa = ca.charFormat(), fb = cb.charFormat();
        QVERIFY2(fa.fontWeight() == fb.fontWeight(), qPrintable(QString::number(pos)));
        QCOMPARE(fb.fontItalic(), fa.fontItalic());
        QCOMPARE(fb.fontUnderline(), fa.fontUnderline());
        QCOMPARE(fb.hasProperty(QTextFormat::ForegroundBrush), fa.hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(fb.foreground().color(), fa.foreground().color());
        QCOMPARE(fb.fontFamilies(), fa.fontFamilies());
        QCOMPARE(fb.fontPointSize(), fa.fontPointSize());
    }
}

} // namespace

class WriterTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void writesTheExpectedForm() {
        QTextDocument doc;
        fillNote(doc);
        const QString expected = QStringLiteral(
            "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 Arial;}"
            "{\\f1\\fnil\\fcharset238 Times New Roman;}{\\f2\\fnil\\fcharset238 Courier New;}}\r\n"
            "{\\colortbl ;\\red0\\green0\\blue255;\\red255\\green0\\blue0;\\red0\\green0\\blue0;}\r\n"
            "\\uc1\\pard\\qc\\f0\\fs24 Stretnutie \\b zajtra\\b0  o 8:00\\par\r\n"
            "\\pard\\qr\\f1\\fs21\\i\\ul\\cf1 Pr\\u237\\'edli\\u353\\'9a "
            "\\u382\\'9eltu\\u269\\'e8k\\u253\\'fd "
            "k\\u244\\'f4\\u328\\'f2 \\u250\\'fapel \\u271\\'ef\\u225\\'e1belsk\\u233\\'e9 "
            "\\u243\\'f3dy\\par\r\n"
            "\\pard\\par\r\n"
            "\\pard\\qj\\f2\\fs48\\b\\cf2 \\{z\\u225\\'e1tvorky\\} a \\\\ sp\\u228\\'e4tn\\u225\\'e1\\tab "
            "lomka"
            "\\f0\\fs24\\b0\\i0\\ulnone\\cf0 \\line druh\\u253\\'fd riadok \\u8364\\'80 \\u-10179?\\u-9047? "
            "\\u20013?\\par\r\n"
            "\\pard\\cf3 \\u269\\'e8ierna\\par\r\n"
            "\\par\r\n"
            "}");
        QCOMPARE(rtf::write(doc), expected);
    }

    void writingReadingWritingGivesTheSameBytes() {
        QTextDocument doc;
        fillNote(doc);
        const QString first = rtf::write(doc);
        QTextDocument again;
        again.setDefaultFont(doc.defaultFont());
        rtf::read(first, again);
        compareDocuments(doc, again);
        QCOMPARE(rtf::write(again), first);
    }

    // Written in the form WordPad reads, and read back into the same document.
    void wordPadFormatsRoundTrip() {
        QTextDocument doc;
        fillWordPadNote(doc);
        const QString first = rtf::write(doc);
        for (const char* expected :
             {"\\pard\\fi-360\\li720\\ri150\\sb120\\sa200\\sl276\\slmult1", "\\strike pre",
              "\\strike0\\super 2", "\\sub i", "\\nosupersub\\cf1\\highlight2  biele",
              "{\\f1\\fmodern\\fcharset128 MS Gothic;}",
              "{\\field{\\*\\fldinst{HYPERLINK "
              "\"https://example.sk/a?b=%22c%22\"}}{\\fldrslt{\\ul\\cf0\\highlight0 odkaz}}}",
              "\\pard\\sl-300\\slmult0\\f0 presne", "{\\pntext\\f2\\'b7\\tab}",
              "\\pard{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li600",
              "{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart3\\pnlcltr{\\pntxta )}}",
              "{\\pntext\\f0 d)\\tab}"})
            QVERIFY2(first.contains(QLatin1String(expected)),
                     qPrintable(QString::fromLatin1(expected) + QStringLiteral("\n") + first));
        QTextDocument again;
        again.setDefaultFont(doc.defaultFont());
        rtf::read(first, again);
        QCOMPARE(labelledText(again), labelledText(doc));
        QCOMPARE(rtf::write(again), first);
        const QStringList a = documentModel(again);
        QTextDocument third;
        rtf::read(rtf::write(again), third);
        QCOMPARE(documentModel(third), a);
    }

    // A nested list (as a pasted page brings it) keeps its levels for readers that know them, in
    // Word's list table beside WordPad's form, and reads back as the same outline.
    void nestedListsKeepTheirLevels() {
        QTextDocument doc;
        doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
        doc.setHtml(
            QStringLiteral("<ol><li>a<ol type=\"a\"><li>b</li><li>c</li></ol></li><li>d<ol type=\"a\">"
                           "<li>e</li></ol></li></ol><ul><li>f</li></ul>"));
        const QString first = rtf::write(doc);

        for (
            const char* expected :
            {"{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelnfcn0\\leveljc0\\leveljcn0\\levelfollow0"
             "\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}{\\listlevel\\levelnfc4",
             "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}{"
             "\\listoverride\\listid2\\"
             "listoverridecount0\\ls2}}",
             "{\\pntxta .}}\\ls1\\ilvl0\\fi-360\\li600", "\\pnlcltr{\\pntxta .}}\\ls1\\ilvl1\\fi-360\\li1200",
             "{\\pntext\\f0 b.\\tab}c", "{\\pntext\\f0 a.\\tab}e",
             "\\pard{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\ls2\\ilvl0\\fi-360\\li600",
             "{\\list{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1{"
             "\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}}"})
            QVERIFY2(first.contains(QLatin1String(expected)),
                     qPrintable(QString::fromLatin1(expected) + QStringLiteral("\n") + first));
        // Lists of one level in a note without others keep WordPad's form alone.
        QTextDocument flat;
        flat.setHtml(QStringLiteral("<ol><li>a</li></ol><ul><li>b</li></ul>"));
        QVERIFY(!rtf::write(flat).contains(QLatin1String("\\ls")));
        QTextDocument again;
        again.setDefaultFont(doc.defaultFont());
        rtf::read(first, again);
        QCOMPARE(labelledText(again), labelledText(doc));
        QCOMPARE(rtf::listLevel(again.findBlockByNumber(4).textList()->format()), 1);
        QCOMPARE(rtf::write(again), first);
        // Two lists of one look in a row read back as one: written so from the start, the note
        // comes back the same (found by the fuzzer).
        doc.setHtml(QStringLiteral("<ul><li>a<ul><li>b</li></ul></li></ul><ul><li>c</li><li>d</li></ul>"));
        rtf::read(rtf::write(doc), again);
        QCOMPARE(labelledText(again), labelledText(doc));
        QCOMPARE(rtf::write(again), rtf::write(doc));
        // A list's empty item before a table that starts the note is not written, nor its list.
        doc.setHtml(QStringLiteral("<ul><li>a<ul><li>b</li></ul></li></ul>"));
        QTextCursor start(&doc);
        start.insertBlock();
        start.movePosition(QTextCursor::Start);
        start.createList(QTextListFormat::ListDecimal);
        start.insertTable(1, 1);
        QVERIFY(QTextCursor(doc.begin()).currentTable() == nullptr && doc.begin().textList());
        rtf::read(rtf::write(doc), again);
        QCOMPARE(rtf::write(again), rtf::write(doc));
    }

    void hiddenTextIsKeptNotShown() {
        QTextDocument doc;
        rtf::read(QStringLiteral("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}a{\\v\\cf1\\fs20 skryté}b}"),
                  doc);
        QTextCursor c(&doc);
        c.setPosition(2);
        QVERIFY(c.charFormat().fontPointSize() <= 1);
        QCOMPARE(c.charFormat().foreground().color().alpha(), 0);
        const QString written = rtf::write(doc);
        QVERIFY2(written.contains(QLatin1String("\\fs20\\v\\cf1 skryt")), qPrintable(written));
        QVERIFY(written.contains(QLatin1String("\\fs24\\v0\\cf0 b")));
    }

    void emptyDocumentsAndParagraphs_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("one empty paragraph after text") << "a\n";
        QTest::newRow("only paragraph marks") << "\n\n\n";
        QTest::newRow("blank") << " ";
    }
    void emptyDocumentsAndParagraphs() {
        QFETCH(QString, text);
        QTextDocument doc;
        doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
        doc.setPlainText(text);
        const QString first = rtf::write(doc);
        QTextDocument again;
        again.setDefaultFont(doc.defaultFont());
        rtf::read(first, again);
        QCOMPARE(again.toPlainText(), text);
        QCOMPARE(again.blockCount(), doc.blockCount());
        QCOMPARE(rtf::write(again), first);
        QVERIFY(first.contains(QStringLiteral("{\\f0\\fnil\\fcharset238 Arial;}")));
    }

    // Every character comes out as ASCII and back as itself; unpaired surrogates cannot occur in
    // what the reader gives, and are checked through the writer alone.
    void everyCharacterRoundTrips() {
        QString all;
        for (char32_t c = 0x20; c < 0x3000; ++c)
            all += QChar(char16_t(c));
        all += QStringLiteral("\U0001F600\U00010330\uFFFD\uE000\uFB01");
        QTextDocument doc;
        QTextCursor(&doc).insertText(all);
        const QString written = rtf::write(doc);
        for (QChar c : written)
            QVERIFY2(c.unicode() < 0x80, qPrintable(QString::number(c.unicode(), 16)));
        QCOMPARE(rtf::plainText(written), doc.toPlainText());
    }

    void dropsWhatNoReaderShows() {
        QTextDocument doc;
        QTextCursor(&doc).insertText(QStringLiteral("a\u0001b\uFFFCc") + QChar(0xDC00) + u'd');
        const QString written = rtf::write(doc);
        QVERIFY(written.contains(QStringLiteral("c\\u-3?d")));
        QCOMPARE(rtf::plainText(written), QStringLiteral("abc\uFFFDd"));
    }

    void fontNamesAreEscaped() {
        QTextDocument doc;
        QTextCharFormat f;
        f.setFontFamilies(QStringList{QStringLiteral("Písmo;{X}")});
        QTextCursor(&doc).insertText(QStringLiteral("x"), f);
        const QString written = rtf::write(doc);
        QVERIFY2(written.contains(QStringLiteral("{\\f0\\fnil\\fcharset238 P\\u237\\'edsmo\\{X\\};}")),
                 qPrintable(written));
        QTextDocument again;
        rtf::read(written, again);
        QTextCursor c(&again);
        c.setPosition(1);
        QCOMPARE(c.charFormat().fontFamilies().toStringList(), QStringList{QStringLiteral("Písmo{X}")});
    }

    // A name of nothing but characters the table cannot hold becomes the default font's, so the
    // second writing still gives the same bytes (found by the fuzzer).
    void unwritableFontNamesFallBackToTheDefault() {
        QTextDocument doc;
        doc.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
        QTextCharFormat f;
        f.setFontFamilies(QStringList{QStringLiteral(" \u000e;")});
        QTextCursor(&doc).insertText(QStringLiteral("x"), f);
        const QString first = rtf::write(doc);
        QVERIFY2(first.contains(QStringLiteral("{\\f0\\fnil\\fcharset238 Arial;}")), qPrintable(first));
        QTextDocument again;
        again.setDefaultFont(doc.defaultFont());
        rtf::read(first, again);
        QCOMPARE(rtf::write(again), first);
    }

    // The fallback byte after \u is what a reader without Unicode shows: it must be right.
    void windows1250FallbacksMatchTheCodePage() {
        QStringDecoder decoder("windows-1250");
        QVERIFY(decoder.isValid());
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString c = decoder.decode(QByteArray(1, char(b)));
            QCOMPARE(c.size(), 1);
            const bool defined =
                c[0] != QChar::ReplacementCharacter && !(c[0].unicode() >= 0x80 && c[0].unicode() < 0xA0);
            QCOMPARE(rtf::windows1250Byte(c[0].unicode()), defined ? b : -1);
        }
        QCOMPARE(rtf::windows1250Byte(u'a'), int('a'));
        QCOMPARE(rtf::windows1250Byte(u'\u4E2D'), -1);
        QCOMPARE(rtf::windows1250Byte(u'\u00E8'), -1); // è: not in Windows-1250
    }
};

QTEST_MAIN(WriterTest)
#include "writer.moc"
