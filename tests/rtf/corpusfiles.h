// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The RTF corpus beside the repository (real files from WordPad, RichEdit and Word, edge cases,
// and LibreOffice's text of each), as the RTF tests read it.
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringList>

inline QString corpusDir() {
    return QStringLiteral(PRIPOMIN_SOURCE_DIR "/../shared/rtf-corpus");
}

// As the note files are read: UTF-8 when the bytes are valid UTF-8, else Windows-1250.
inline QString decodeLikeNoteFile(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1250("windows-1250");
    return cp1250(bytes);
}

inline QString readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeLikeNoteFile(file.readAll());
}

inline QString collapsed(const QString& text) {
    return text.simplified();
}

inline QStringList corpusFiles(const QString& sub) {
    return QDir(corpusDir() + u'/' + sub).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
}

// Where the note knowingly differs from LibreOffice: footnotes are not kept, their marks neither.
struct Departure {
    const char* file;
    const char* libreOffice;
    const char* ours;
};
inline constexpr Departure kDepartures[] = {
    {"rtfjs_word2003_sample.rtf", "has a 1footnote", "has a footnote"},
};

// LibreOffice's text of a corpus file as the note should read it.
inline QString withDepartures(const QString& name, QString text) {
    for (const auto& [file, lo, ours] : kDepartures)
        if (name == QLatin1String(file))
            text.replace(QString::fromUtf8(lo), QString::fromUtf8(ours));
    return text;
}
