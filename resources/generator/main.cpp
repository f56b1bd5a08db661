// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's pictures and sound into the folder given on the command line.
#include "generator/artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pripomin-resgen OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    bool ok = true;
    for (const auto& writer : artworkWriters()) {
        if (!writer.write(out)) {
            std::fprintf(stderr, "pripomin-resgen: could not write %s\n", qPrintable(writer.name));
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
