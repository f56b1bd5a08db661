#include "slots/settingsfile.h"

#include "host/module1.h"

namespace SettingsFile {

QString section(int k) { return QStringLiteral("DAT%1").arg(k); }

bool save(const SlotTable& slots, const QLocale& locale) {
    const QString file = QString::fromLatin1(kName);
    bool ok = Module1::zapíšini(QStringLiteral("Pripomin"), QStringLiteral("Run"), QStringLiteral("1"), file);
    for (int k = 1; k <= kSlotCount; ++k) {
        const QString dateText = DateText::toText(slots[k].date, locale);
        ok = Module1::zapíšini(section(k), QStringLiteral("Dátum"), dateText, file) && ok;
        ok = Module1::zapíšini(section(k), QStringLiteral("Čas"), slots[k].time, file) && ok;
    }
    return ok;
}

bool load(SlotTable& slots, const QLocale& locale) {
    const QString file = QString::fromLatin1(kName);
    const QString missing = QString::fromLatin1(kMissing);
    if (Module1::čítajini(QStringLiteral("Pripomin"), QStringLiteral("Run"), missing, file) != QLatin1String("1"))
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
