// SPDX-License-Identifier: GPL-3.0-or-later
// A note we write, opened by LibreOffice: the same text comes back, Slovak letters included, and
// LibreOffice's own RTF of it reads back with the same formatting. Skips when soffice is absent.
#include "host/rtfreader.h"
#include "host/rtfwriter.h"
#include "rtf/corpusfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// A first start of LibreOffice with a fresh profile takes some seconds; this is the limit.
constexpr int kConversionDeadlineMs = 180000;

void fillNote(QTextDocument& doc) {
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QTextCursor c(&doc);
    QTextCharFormat plain;
    plain.setFontFamilies(QStringList{QStringLiteral("DejaVu Sans")});
    plain.setFontPointSize(12);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat red = plain;
    red.setForeground(QColor(255, 0, 0));
    red.setFontItalic(true);
    red.setFontUnderline(true);
    red.setFontPointSize(18);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centre);
    c.insertText(QStringLiteral("Pripomienka: "), bold);
    c.insertText(QStringLiteral("Príliš žltučký kôň úpel ďábelské ódy."), plain);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right);
    c.insertText(QStringLiteral("ĽUBICA, ŤAVA, ŠŤASTIE, ÄÔŔĹ {zátvorky} \\ ľ ŕ ĺ"), red);
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("Koniec € — „úvodzovky“"), plain);
}

// Converts files in one run of LibreOffice; false when it does not finish in time.
bool convertAll(const QString& soffice, const QStringList& inputs, const QString& filter,
                const QString& outDir, const QString& home) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    process.setProcessEnvironment(env);
    process.start(soffice,
                  QStringList{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                              QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), outDir} +
                      inputs);
    if (!process.waitForFinished(kConversionDeadlineMs * 2)) {
        process.kill();
        process.waitForFinished(5000);
        return false;
    }
    return true;
}

// Runs one conversion and returns the converted file's bytes, or fails the test.
QByteArray convert(const QString& soffice, const QString& input, const QString& filter, const QString& outDir,
                   const QString& home, const QString& suffix) {
    if (!convertAll(soffice, {input}, filter, outDir, home))
        return {};
    QFile out(outDir + u'/' + QFileInfo(input).completeBaseName() + suffix);
    if (!out.open(QIODevice::ReadOnly))
        return {};
    return out.readAll();
}

} // namespace

class LibreOfficeTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase() {
        soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QVERIFY(dir.isValid());
        QTextDocument doc;
        fillNote(doc);
        expectedText = doc.toPlainText();
        QFile file(dir.filePath(QStringLiteral("note.rtf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rtf::write(doc).toLatin1()); // the writer gives pure ASCII
        file.close();
    }

    void libreOfficeReadsOurText() {
        const QByteArray text =
            convert(soffice, dir.filePath(QStringLiteral("note.rtf")),
                    QStringLiteral("txt:Text (encoded):UTF8"), dir.filePath(QStringLiteral("txt")),
                    dir.filePath(QStringLiteral("home")), QStringLiteral(".txt"));
        QVERIFY2(!text.isEmpty(), "soffice gave no text");
        QString got = QString::fromUtf8(text);
        if (got.startsWith(QChar::ByteOrderMark))
            got.remove(0, 1);
        got.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(got.trimmed(), expectedText.trimmed());
    }

    void libreOfficeKeepsOurFormatting() {
        const QByteArray written = convert(soffice, dir.filePath(QStringLiteral("note.rtf")),
                                           QStringLiteral("rtf"), dir.filePath(QStringLiteral("rtf")),
                                           dir.filePath(QStringLiteral("home")), QStringLiteral(".rtf"));
        QVERIFY2(!written.isEmpty(), "soffice gave no RTF");
        QTextDocument doc;
        rtf::read(QString::fromLatin1(written), doc);
        QCOMPARE(doc.toPlainText().trimmed(), expectedText.trimmed());

        const auto formatOf = [&doc](const QString& text) {
            QTextCursor c(&doc);
            c.setPosition(int(doc.toPlainText().indexOf(text)) + 1);
            return c.charFormat();
        };
        QCOMPARE(formatOf(QStringLiteral("Pripomienka")).fontWeight(), int(QFont::Bold));
        QCOMPARE(formatOf(QStringLiteral("Príliš")).fontWeight(), int(QFont::Normal));
        const QTextCharFormat red = formatOf(QStringLiteral("ĽUBICA"));
        QCOMPARE(red.foreground().color(), QColor(255, 0, 0));
        QVERIFY(red.fontItalic());
        QVERIFY(red.fontUnderline());
        QCOMPARE(red.fontPointSize(), 18.0);
        QCOMPARE(red.fontFamilies().toStringList().value(0), QStringLiteral("DejaVu Sans"));
        QCOMPARE(doc.findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        QCOMPARE(doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        QCOMPARE(doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);
    }

    // What we write of each real file of the corpus reads in LibreOffice as the original does.
    void writtenCorpusFilesReadAsTheOriginal_data() {
        QTest::addColumn<QString>("name");
        for (const QString& file : corpusFiles(QStringLiteral("real")))
            QTest::newRow(qPrintable(file)) << file;
    }
    void writtenCorpusFilesReadAsTheOriginal() {
        // Without the corpus the data has no rows, and the test runs once with nothing to fetch.
        if (!QDir(corpusDir()).exists())
            QSKIP("the RTF corpus is not beside the repository");
        QFETCH(QString, name);
        const QString written = dir.filePath(QStringLiteral("corpus"));
        if (!QDir(written).exists()) {
            // Once for all files: a run of LibreOffice costs seconds.
            QDir().mkpath(written);
            QStringList inputs;
            for (const QString& file : corpusFiles(QStringLiteral("real"))) {
                QTextDocument doc;
                rtf::read(readFile(corpusDir() + QStringLiteral("/real/") + file), doc);
                QFile out(written + u'/' + file);
                QVERIFY(out.open(QIODevice::WriteOnly));
                out.write(rtf::write(doc).toLatin1());
                inputs << out.fileName();
            }
            QVERIFY(convertAll(soffice, inputs, QStringLiteral("txt:Text (encoded):UTF8"),
                               dir.filePath(QStringLiteral("corpus-txt")),
                               dir.filePath(QStringLiteral("home"))));
        }
        const QString base = QFileInfo(name).completeBaseName();
        QFile txt(dir.filePath(QStringLiteral("corpus-txt/")) + base + QStringLiteral(".txt"));
        QVERIFY2(txt.open(QIODevice::ReadOnly), "LibreOffice gave no text");
        QString got = QString::fromUtf8(txt.readAll());
        got.remove(QChar::ByteOrderMark);
        const QString expected =
            withDepartures(name, readFile(corpusDir() + QStringLiteral("/expected-lo/real/") + base +
                                          QStringLiteral(".txt")));
        QCOMPARE(collapsed(got), collapsed(expected));
    }

  private:
    QString soffice;
    QTemporaryDir dir;
    QString expectedText;
};

QTEST_MAIN(LibreOfficeTest)
#include "libreoffice.moc"
