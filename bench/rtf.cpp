// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing a 1 MB note, and opening one with 100 pictures of 50 KB. Goals on the project
// machine: read <= 50 ms, write <= 20 ms, the note with pictures read and laid out <= 200 ms.
#include "host/rtfreader.h"
#include "host/rtfwriter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A note as users write them, grown to the size wanted: Slovak paragraphs with bold, italic,
// underlined and coloured words, some centred or right-aligned, in two fonts and three sizes.
QString makeNote(qsizetype bytes) {
    const QString words[] = {
        QStringLiteral("Pripomienka"), QStringLiteral("stretnutie"), QStringLiteral("zajtra"),
        QStringLiteral("o"),           QStringLiteral("ôsmej"),      QStringLiteral("ráno"),
        QStringLiteral("v"),           QStringLiteral("kancelárii"), QStringLiteral("nezabudnúť"),
        QStringLiteral("doniesť"),     QStringLiteral("dokumenty"),  QStringLiteral("ďakujem"),
        QStringLiteral("šťastie"),     QStringLiteral("žltý"),       QStringLiteral("kôň"),
        QStringLiteral("úpel"),        QStringLiteral("ťava"),       QStringLiteral("Ľubica"),
    };
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 128, 0)};
    const QString fonts[] = {QStringLiteral("Arial"), QStringLiteral("Times New Roman")};
    QTextDocument doc;
    QTextCursor cursor(&doc);
    int n = 0;
    for (int paragraph = 0;; ++paragraph) {
        QTextBlockFormat bf;
        bf.setAlignment(paragraph % 7 == 3    ? Qt::AlignHCenter
                        : paragraph % 11 == 5 ? Qt::AlignRight
                                              : Qt::AlignLeft);
        if (paragraph > 0)
            cursor.insertBlock(bf);
        else
            cursor.setBlockFormat(bf);
        for (int w = 0; w < 24; ++w, ++n) {
            QTextCharFormat fmt;
            fmt.setFontFamilies({fonts[(n / 97) % 2]});
            fmt.setFontPointSize(n % 53 == 0 ? 14 : n % 31 == 0 ? 10 : 12);
            fmt.setFontWeight(n % 9 == 0 ? QFont::Bold : QFont::Normal);
            fmt.setFontItalic(n % 13 == 0);
            fmt.setFontUnderline(n % 17 == 0);
            if (n % 19 == 0)
                fmt.setForeground(colours[n % 3]);
            cursor.insertText(words[n % std::size(words)] + (w == 23 ? QString() : QStringLiteral(" ")), fmt);
        }
        if (paragraph % 50 == 49 && rtf::write(doc).size() >= bytes)
            break;
    }
    return rtf::write(doc);
}

const QString& note() {
    static const QString text = makeNote(1024 * 1024);
    return text;
}

void BM_ReadNote(benchmark::State& state) {
    const QString& text = note();
    for (auto _ : state) {
        auto doc = std::make_unique<QTextDocument>();
        doc->setUndoRedoEnabled(false);
        rtf::read(text, *doc);
        benchmark::DoNotOptimize(doc->characterCount());
        state.PauseTiming(); // freeing the document is not part of reading it
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ReadNote)->Unit(benchmark::kMillisecond);

void BM_PlainTextOfNote(benchmark::State& state) {
    const QString& text = note();
    for (auto _ : state)
        benchmark::DoNotOptimize(rtf::plainText(text).size());
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_PlainTextOfNote)->Unit(benchmark::kMillisecond);

void BM_WriteNote(benchmark::State& state) {
    QTextDocument doc;
    rtf::read(note(), doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(rtf::write(doc).size());
    state.SetBytesProcessed(state.iterations() * note().size());
}
BENCHMARK(BM_WriteNote)->Unit(benchmark::kMillisecond);

// 100 PNG pictures of about 50 KB each (noise, which PNG cannot shrink), with a line of text each.
const QString& pictureNote() {
    static const QString text = [] {
        QString out = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}");
        quint32 seed = 1;
        for (int i = 0; i < 100; ++i) {
            QImage image(128, 128, QImage::Format_RGB32);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    seed = seed * 1664525u + 1013904223u;
                    image.setPixel(x, y, seed >> 8);
                }
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            out += QStringLiteral(
                       "Obr\\u225?zok %1 {\\pict\\pngblip\\picw128\\pich128\\picwgoal1920\\pichgoal1920 ")
                       .arg(i);
            out += QString::fromLatin1(png.toHex());
            out += QStringLiteral("}\\par\r\n");
        }
        return out + u'}';
    }();
    return text;
}

// Opening as the editor does: reading, then laying the document out to show it.
void BM_OpenNoteWithPictures(benchmark::State& state) {
    const QString& text = pictureNote();
    for (auto _ : state) {
        auto doc = std::make_unique<QTextDocument>();
        doc->setUndoRedoEnabled(false);
        doc->setTextWidth(600);
        rtf::read(text, *doc);
        benchmark::DoNotOptimize(doc->size().height());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_OpenNoteWithPictures)->Unit(benchmark::kMillisecond);

void BM_WriteNoteWithPictures(benchmark::State& state) {
    QTextDocument doc;
    rtf::read(pictureNote(), doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(rtf::write(doc).size());
    state.SetBytesProcessed(state.iterations() * pictureNote().size());
}
BENCHMARK(BM_WriteNoteWithPictures)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts in text documents need it
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
