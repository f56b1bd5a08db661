// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the RTF reader. Besides crashes, leaks and undefined behaviour it checks
// what the note editor relies on: writing, reading and writing again gives the same bytes and the
// same document. (The plain-text reading keeps list labels and cell tabs the document draws
// itself, so it is only run.)
#include "host/rtfreader.h"
#include "host/rtfwriter.h"

#include <QGuiApplication>
#include <QStringDecoder>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>

namespace {

// As note files are read: UTF-8 when the bytes are valid UTF-8, else Windows-1250.
QString decodeLikeNoteFile(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1250("windows-1250");
    return cp1250.decode(bytes);
}

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "rtf_fuzzer: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // fonts in text documents need it
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = decodeLikeNoteFile(QByteArrayView(data, qsizetype(size)));

    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    rtf::read(text, doc);
    (void)rtf::plainText(text);

    const QString first = rtf::write(doc);
    for (const QChar c : first)
        check(c.unicode() < 0x80, "the writer gave a character outside ASCII");
    QTextDocument again;
    again.setUndoRedoEnabled(false);
    rtf::read(first, again);
    check(again.toPlainText() == doc.toPlainText(), "writing and reading lost text");
    check(rtf::write(again) == first, "writing again gave other bytes");
    return 0;
}
