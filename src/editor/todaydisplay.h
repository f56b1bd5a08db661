// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace TodayDisplay {
// " PONDELOK" … " NEDEĽA": the day's real weekday in capitals with one leading blank, whatever
// day the user's regional settings start the week with.
QString weekdayName(const QDate& day);
// The legend: short date immediately followed by the weekday name.
QString legendText(const QDate& day, const QLocale& locale = QLocale());
} // namespace TodayDisplay
