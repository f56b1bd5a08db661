// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/datetime.h"

#include <QLocale>
#include <vector>

namespace DateEntry {
inline constexpr auto kWarningTitle = "Chyba v definícii dátumu";
// The warning for a day chosen in the past: the refused day, the slot's time and now.
QString pastDayWarning(DateTimeValue chosenDay, DateTimeValue pickerValue, DateTimeValue now,
                       const QLocale& locale = QLocale());
// Which of `count` consecutive days the calendar draws in bold: every seventh, never the last.
std::vector<int> boldDayEntries(int count);
} // namespace DateEntry
