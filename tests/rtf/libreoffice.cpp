// SPDX-License-Identifier: GPL-3.0-or-later
// A note we write, opened by LibreOffice: the same text comes back, Slovak letters included, and
// LibreOffice's own RTF of it reads back with the same formatting. Skips when soffice is absent.
#include "host/rtfreader.h"
#include "host/rtfwriter.h"

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

// Runs one conversion and returns the converted file's bytes, or fails the test.
QByteArray convert(const QString& soffice, const QString& input, const QString& filter, const QString& outDir,
                   const QString& home, const QString& suffix) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    process.setProcessEnvironment(env);
    process.start(soffice,
                  {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                   QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), outDir, input});
    if (!process.waitForFinished(kConversionDeadlineMs)) {
        process.kill();
        process.waitForFinished(5000);
        return {};
    }
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

  private:
    QString soffice;
    QTemporaryDir dir;
    QString expectedText;
};

QTEST_MAIN(LibreOfficeTest)
#include "libreoffice.moc"
