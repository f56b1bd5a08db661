// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// A private-profile ("INI") file with the classic semantics: names compare without regard to
// letter case, a missing section or key is added at the write, everything else is kept as it was.
namespace IniFile {
// Decodes a file's bytes: UTF-8 (with or without byte-order mark), else Windows-1250.
QString decode(const QByteArray& bytes);
// The value of the first matching key in the first matching section, as it stands in the text.
std::optional<QString> lookup(const QString& text, const QString& section, const QString& key);
// The text with the value set; LF line ends.
QString withValue(const QString& text, const QString& section, const QString& key, const QString& value);

// On disk. Reading gives at most 127 characters; a missing file, section or key gives nullopt.
std::optional<QString> read(const QString& path, const QString& section, const QString& key);
// Replaces the file atomically and makes it readable by the owner only. False when it could not.
bool write(const QString& path, const QString& section, const QString& key, const QString& value);
struct Entry {
    QString section, key, value;
};
// Sets every value in one replacement of the file: a crash or a full disk leaves all of them or none.
bool write(const QString& path, const QList<Entry>& entries);
} // namespace IniFile
