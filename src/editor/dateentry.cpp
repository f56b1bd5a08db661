// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/dateentry.h"

namespace DateEntry {

QString pastDayWarning(DateTimeValue chosenDay, DateTimeValue pickerValue, DateTimeValue now,
                       const QLocale& locale) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("      Urobili Ste chybu. Chcete vytvoriť ODKAZ") + crlf +
           QStringLiteral("ktorého deň aktivácie je definovaný do minulosti.") + crlf +
           QStringLiteral("                         ODKAZ má hodnotu: ") + crlf +
           QStringLiteral("          dátum: ") + DateText::toText(chosenDay, locale) +
           QStringLiteral("   čas: ") + DateText::toText(pickerValue, locale) + crlf +
           QStringLiteral("                  Dnes je: ") + DateText::dateText(now.date(), locale) +
           QLatin1Char(' ') + DateText::timeText(now.timeOfDay(), locale);
}

std::vector<int> boldDayEntries(int count) {
    std::vector<int> entries;
    for (int n = 7; n < count; n += 7)
        entries.push_back(n - 1);
    return entries;
}

} // namespace DateEntry
