// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing a 1 MB note. Goals on the project machine: read <= 50 ms, write <= 20 ms.
#include "host/rtfreader.h"
#include "host/rtfwriter.h"

#include <QGuiApplication>
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
