#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace TodayDisplay {
// The day's position in the week, 1 to 7, counted from the given first day of the week.
int positionInWeek(const QDate& day, Qt::DayOfWeek firstDayOfWeek);
// " PONDELOK" … " NEDEĽA" by position: capitals, one leading blank.
QString weekdayName(int position);
QString weekdayName(const QDate& day, const QLocale& locale = QLocale());
// The legend: short date immediately followed by the weekday name.
QString legendText(const QDate& day, const QLocale& locale = QLocale());
} // namespace TodayDisplay
