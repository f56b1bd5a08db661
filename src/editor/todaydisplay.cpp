// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/todaydisplay.h"

#include "host/datetime.h"

namespace TodayDisplay {

QString weekdayName(const QDate& day) {
    static const char* const names[] = {" PONDELOK", " UTOROK", " STREDA", " ŠTVRTOK",
                                        " PIATOK",   " SOBOTA", " NEDEĽA"};
    const int d = day.dayOfWeek(); // 1 = Monday … 7 = Sunday
    if (d < 1 || d > 7)
        return QString();
    return QString::fromUtf8(names[d - 1]);
}

QString legendText(const QDate& day, const QLocale& locale) {
    return DateText::dateText(day, locale) + weekdayName(day);
}

} // namespace TodayDisplay
