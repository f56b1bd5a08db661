#include "editor/todaydisplay.h"

#include "host/datetime.h"

namespace TodayDisplay {

int positionInWeek(const QDate& day, Qt::DayOfWeek firstDayOfWeek) {
    return (day.dayOfWeek() - int(firstDayOfWeek) + 7) % 7 + 1;
}

QString weekdayName(int position) {
    static const char* const names[] = {" PONDELOK", " UTOROK", " STREDA", " ŠTVRTOK",
                                        " PIATOK",   " SOBOTA", " NEDEĽA"};
    if (position < 1 || position > 7)
        return QString();
    return QString::fromUtf8(names[position - 1]);
}

QString weekdayName(const QDate& day, const QLocale& locale) {
    return weekdayName(positionInWeek(day, locale.firstDayOfWeek()));
}

QString legendText(const QDate& day, const QLocale& locale) {
    return DateText::dateText(day, locale) + weekdayName(day, locale);
}

} // namespace TodayDisplay
