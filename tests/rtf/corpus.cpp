// SPDX-License-Identifier: GPL-3.0-or-later
// The reader against files written by WordPad, RichEdit and Word, with LibreOffice's text of each
// as the reference. The corpus lives beside the repository and is not part of it.
#include "host/rtfreader.h"
#include "host/rtfwriter.h"
#include "rtf/corpusfiles.h"
#include "rtf/documentmodel.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTest>
#include <QTextDocument>

namespace {

void addRows(const QString& sub) {
    QTest::addColumn<QString>("name");
    for (const QString& file : corpusFiles(sub))
        QTest::newRow(qPrintable(file)) << file;
}

} // namespace

class CorpusTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase() {
        if (!QDir(corpusDir()).exists())
            QSKIP("the RTF corpus is not beside the repository");
    }

    void realFileTextMatchesLibreOffice_data() { addRows(QStringLiteral("real")); }
    void realFileTextMatchesLibreOffice() {
        QFETCH(QString, name);
        const QString rtf = readFile(corpusDir() + QStringLiteral("/real/") + name);
        QString expected = readFile(corpusDir() + QStringLiteral("/expected-lo/real/") +
                                    QFileInfo(name).completeBaseName() + QStringLiteral(".txt"));
        const QString actual = collapsed(rtf::plainText(rtf));
        expected = withDepartures(name, expected);
        if (actual == collapsed(expected))
            ++agreeing;
        QCOMPARE(actual, collapsed(expected));
    }
    void reportAgreement() {
        qInfo("%d of %d real files agree with LibreOffice", agreeing,
              int(corpusFiles(QStringLiteral("real")).size()));
    }

    // The document the editor shows holds the same text as the plain-text reading.
    void documentHoldsThePlainText_data() {
        addRows(QStringLiteral("real"));
        for (const QString& file : corpusFiles(QStringLiteral("edge")))
            QTest::newRow(qPrintable(QStringLiteral("edge/") + file)) << (QStringLiteral("../edge/") + file);
    }
    void documentHoldsThePlainText() {
        QFETCH(QString, name);
        const QString rtf = readFile(corpusDir() + QStringLiteral("/real/") + name);
        QTextDocument doc;
        rtf::read(rtf, doc);
        QCOMPARE(withoutFinalBreaks(labelledText(doc)), withoutFinalBreaks(rtf::plainText(rtf)));
    }

    // Everything the document holds of a file comes back from what we write of it.
    void writingKeepsTheDocument_data() { addRows(QStringLiteral("real")); }
    void writingKeepsTheDocument() {
        QFETCH(QString, name);
        QTextDocument doc;
        rtf::read(readFile(corpusDir() + QStringLiteral("/real/") + name), doc);
        QTextDocument again;
        rtf::read(rtf::write(doc), again);
        const QStringList a = documentModel(doc), b = documentModel(again);
        for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
            QCOMPARE(b[i], a[i]);
        QCOMPARE(b.size(), a.size());
    }

    // What others wrote survives our writer: same text back, and a second writing changes nothing.
    void writingKeepsTextAndIsStable_data() { documentHoldsThePlainText_data(); }
    void writingKeepsTextAndIsStable() {
        QFETCH(QString, name);
        QTextDocument doc;
        rtf::read(readFile(corpusDir() + QStringLiteral("/real/") + name), doc);
        const QString first = rtf::write(doc);
        QTextDocument again;
        rtf::read(first, again);
        QCOMPARE(again.toPlainText(), doc.toPlainText());
        QCOMPARE(rtf::write(again), first);
    }

    void edgeFilesShowTheirText_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("backslash newline") << "rtfjs_backslash_newline_no_par.rtf"
                                           << "    LINE1 - APPLE\n    LINE2 - BANANA\n    LINE3 - CLEAN";
        QTest::newRow("picture with \\bin") << "rtfjs_pict_bin.rtf"
                                            << "";
        QTest::newRow("surrogates, trailing NUL")
            << "rtfjs_wordpad10_surrogates_trailing_nul.rtf"
            << QString::fromUtf8("Iñtërnâtiônàlizætiøn\u2603\U0001F4A9");
        QTest::newRow("empty file") << "rtfpipe_empty_file.rtf"
                                    << "";
        QTest::newRow("extra closing brace")
            << "rtfpipe_extra_closing_brace.rtf" << QString::fromUtf8("Hello world in {RTF}\u2026\n");
        QTest::newRow("lone control word") << "rtfpipe_lone_control_word.rtf"
                                           << "\\foobar\n";
        QTest::newRow("missing closing brace")
            << "rtfpipe_missing_closing_brace.rtf" << QString::fromUtf8("Hello world in {RTF}\u2026");
        QTest::newRow("not RTF") << "rtfpipe_plain_text_not_rtf.rtf"
                                 << "foobar\n";
        QTest::newRow("\\bin in an object") << "tika_bin_control_word.rtf"
                                            << "\t\t\t ";
        QTest::newRow("list tables outside their table") << "tika_fragment_no_header.rtf"
                                                         << "";
        QTest::newRow("nested \\rtf1, stray brace")
            << "tika_nested_rtf1_extra_brace.rtf"
            << "\nLevel1: \n\nThis is level1 paragraph\nThis is level1 paragraph\nThis is level1 paragraph\n"
               "This is level1 paragraph\nThis is level1 paragraph\nThis is level1 paragraph\n\nLevel2: \n"
               " This is level2 paragraph.\nThis is level2 paragraph.\nThis is level2 paragraph.\n ";
        QTest::newRow("\\uc skip count") << "tika_uc_skip_count.rtf" << QString::fromUtf8("0 年 abc 念");
        QTest::newRow("unpaired surrogates")
            << "tika_unpaired_surrogates.rtf"
            << QString::fromUtf8(
                   "Unpaired hi \uFFFD here Unpaired lo \uFFFD here Mismatched pair \uFFFD\uFFFD here ");
    }
    void edgeFilesShowTheirText() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString rtf = readFile(corpusDir() + QStringLiteral("/edge/") + name);
        QCOMPARE(rtf::plainText(rtf), expected);
    }

  private:
    int agreeing = 0;
};

QTEST_MAIN(CorpusTest)
#include "corpus.moc"
