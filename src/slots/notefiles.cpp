// SPDX-License-Identifier: GPL-3.0-or-later
#include "slots/notefiles.h"

#include "host/inifile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace NoteFiles {

QString fileName(int k) {
    return QStringLiteral("Dat%1.RTF").arg(k);
}

QString path(const QString& folder, int k) {
    return folder + QLatin1Char('/') + fileName(k);
}

void load(SlotTable& slots, const QString& folder) {
    for (int k = 1; k <= kSlotCount; ++k) {
        QFile f(path(folder, k));
        if (!f.open(QIODevice::ReadOnly)) {
            slots[k].note.clear();
            continue;
        }
        QString note = IniFile::decode(f.readAll());
        if (note.endsWith(QLatin1String("\r\n")))
            note.chop(2);
        slots[k].note = note;
    }
}

namespace {
// A note file's temporary copy as saving makes it: "Dat<k>.RTF." and six letters or digits.
bool isLeftover(const QString& name) {
    for (int k = 1; k <= kSlotCount; ++k) {
        const QString prefix = fileName(k) + u'.';
        if (name.size() == prefix.size() + 6 && name.startsWith(prefix))
            return std::all_of(name.begin() + prefix.size(), name.end(), [](QChar c) {
                return c.isDigit() ? c.unicode() < 0x80
                                   : (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
            });
    }
    return false;
}
} // namespace

void removeLeftovers(const QString& folder) {
    const QDir dir(folder);
    // Without a name filter, which Qt would make a regular expression of.
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (isLeftover(name))
            QFile::remove(dir.filePath(name));
    }
}

bool save(const QString& folder, int k, const QString& note) {
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile f(path(folder, k));
    bool ok = f.open(QIODevice::WriteOnly);
    if (ok) {
        const QByteArray bytes = (note + QStringLiteral("\r\n")).toUtf8();
        ok = f.write(bytes) == bytes.size();
        ok = ok && f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        ok = ok && f.commit();
        if (!ok)
            f.cancelWriting();
    }
    return ok;
}

QStringList save(const SlotTable& slots, const QString& folder) {
    QStringList failed;
    for (int k = 1; k <= kSlotCount; ++k)
        if (!save(folder, k, slots[k].note))
            failed << fileName(k);
    return failed;
}

} // namespace NoteFiles
