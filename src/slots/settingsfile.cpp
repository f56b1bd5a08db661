// SPDX-License-Identifier: GPL-3.0-or-later
#include "slots/settingsfile.h"

#include "host/inifile.h"
#include "host/module1.h"

namespace SettingsFile {

QString section(int k) {
    return QStringLiteral("DAT%1").arg(k);
}

QList<IniFile::Entry> entries(const SlotTable& slots, const QLocale& locale) {
    QList<IniFile::Entry> all{{QStringLiteral("Pripomin"), QStringLiteral("Run"), QStringLiteral("1")}};
    for (int k = 1; k <= kSlotCount; ++k) {
        all.append({section(k), QStringLiteral("Dátum"), DateText::toText(slots[k].date, locale)});
        all.append({section(k), QStringLiteral("Čas"), slots[k].time});
    }
    return all;
}

bool save(const SlotTable& slots, const QString& path, const QLocale& locale) {
    // One replacement of the file for all values, so a crash in the middle never leaves some
    // slots saved and others not.
    return IniFile::write(path, entries(slots, locale));
}

bool load(SlotTable& slots, const QString& file, const QLocale& locale) {
    const QString missing = QString::fromLatin1(kMissing);
    if (Module1::čítajini(QStringLiteral("Pripomin"), QStringLiteral("Run"), missing, file) !=
        QLatin1String("1"))
        return false;
    for (int k = 1; k <= kSlotCount; ++k) {
        // The reader asks for "Dat"k; names compare without regard to case.
        const QString name = QStringLiteral("Dat%1").arg(k);
        const QString time = Module1::čítajini(name, QStringLiteral("Čas"), missing, file);
        slots[k].time = DateText::tryParseTime(time, locale) ? time : QStringLiteral("0:0:0");
        const QString date = Module1::čítajini(name, QStringLiteral("Dátum"), missing, file);
        slots[k].date = DateText::parse(date, locale).datePart();
    }
    return true;
}

} // namespace SettingsFile
