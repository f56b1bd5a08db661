// SPDX-License-Identifier: GPL-3.0-or-later
#include "slots/notefiles.h"

#include "host/inifile.h"

#include <QDir>
#include <QRegularExpression>
#include <QFile>
#include <QSaveFile>

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

void removeLeftovers(const QString& folder) {
    static const QRegularExpression temporary(QStringLiteral("^Dat([1-9]|1[0-2])\\.RTF\\.[A-Za-z0-9]{6}$"));
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("Dat*.RTF.*")}, QDir::Files | QDir::Hidden)) {
        if (temporary.match(name).hasMatch())
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
