// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

// A failure with the form run-time's classic number and a Slovak description naming what failed
// (53 for a file that is not found, 75 for a path or file access error, 76 for a path not found).
struct RunTimeError : std::runtime_error {
    RunTimeError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number(number), description(description) {}
    int number;
    QString description;

    static RunTimeError fileNotFound(const QString& path) {
        return RunTimeError(53, QStringLiteral("Súbor sa nenašiel: ") + path);
    }
    static RunTimeError pathFileAccess(const QString& path) {
        return RunTimeError(75, QStringLiteral("Chyba prístupu k ceste alebo súboru: ") + path);
    }
    static RunTimeError pathNotFound(const QString& path) {
        return RunTimeError(76, QStringLiteral("Cesta sa nenašla: ") + path);
    }
};
