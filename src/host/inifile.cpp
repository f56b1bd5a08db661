// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringList>

#include <algorithm>

namespace {
constexpr int kMaxValue = 127;
// Settings files are small; a larger file is not one of ours and is not read whole.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// "[name]" (blanks allowed around) gives name.
std::optional<QStringView> sectionName(QStringView line) {
    const QStringView t = line.trimmed();
    if (t.size() < 2 || t.front() != QLatin1Char('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

struct KeyLine {
    QStringView key;
    QStringView value;
};

std::optional<KeyLine> keyLine(QStringView line) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    const QStringView key = line.left(eq).trimmed();
    if (key.isEmpty() || key.front() == QLatin1Char(';'))
        return std::nullopt;
    return KeyLine{key, line.mid(eq + 1).trimmed()};
}

QStringList splitLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
} // namespace

namespace IniFile {

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    QStringDecoder cp1250("windows-1250");
    if (cp1250.isValid())
        return cp1250.decode(bytes);
    return QString::fromLatin1(bytes);
}

std::optional<QString> lookup(const QString& text, const QString& section, const QString& key) {
    bool inSection = false;
    bool sectionSeen = false;
    for (const QString& line : splitLines(text)) {
        if (const auto name = sectionName(line)) {
            // Only the first section of a name counts, as with the classic service.
            if (inSection)
                return std::nullopt;
            inSection = !sectionSeen && sameName(*name, section);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection)
            continue;
        if (const auto kv = keyLine(line); kv && sameName(kv->key, key))
            return kv->value.toString();
    }
    return std::nullopt;
}

QString withValue(const QString& text, const QString& section, const QString& key, const QString& value) {
    QStringList lines = splitLines(text);
    const QString entry = key + QLatin1Char('=') + value;
    qsizetype sectionStart = -1;
    qsizetype lastInSection = -1; // last non-blank line of the section
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            if (sectionStart >= 0)
                break;
            if (sameName(*name, section)) {
                sectionStart = i;
                lastInSection = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (const auto kv = keyLine(lines[i]); kv && sameName(kv->key, key)) {
            lines[i] = kv->key.toString() + QLatin1Char('=') + value;
            return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
        }
        if (!lines[i].trimmed().isEmpty())
            lastInSection = i;
    }
    if (sectionStart >= 0) {
        lines.insert(lastInSection + 1, entry);
    } else {
        lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

namespace {
std::optional<QString> readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Read as much as the file holds: asking for the limit would reserve all of it every time.
    const qint64 size = f.size();
    return decode(f.read(size > 0 ? std::min<qint64>(size, kMaxFileSize) : kMaxFileSize));
}
} // namespace

std::optional<QString> read(const QString& path, const QString& section, const QString& key) {
    const auto text = readText(path);
    if (!text)
        return std::nullopt;
    auto value = lookup(*text, section, key);
    if (value && value->size() > kMaxValue)
        value->truncate(kMaxValue);
    return value;
}

bool write(const QString& path, const QString& section, const QString& key, const QString& value) {
    return write(path, QList<Entry>{{section, key, value}});
}

bool write(const QString& path, const QList<Entry>& entries) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QString text = readText(path).value_or(QString());
    for (const Entry& e : entries)
        text = withValue(text, e.section, e.key, e.value);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(text.toUtf8()); // a failed write makes the commit fail and keeps the old file
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return f.commit();
}

} // namespace IniFile
