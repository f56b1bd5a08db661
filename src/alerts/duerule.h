#pragma once

#include "host/datetime.h"

namespace DueRule {
// The second at which a slot falls due: its day at the picker's time of day (the day the picker
// value carries plays no part). Seconds since 30 December 1899.
qint64 dueMoment(DateTimeValue slotDate, DateTimeValue pickerValue);
// Due when the slot has a date and its moment lies after the previous check and not after now,
// so a second that no check reached still fires once, at the next check.
bool isDue(DateTimeValue slotDate, DateTimeValue pickerValue, qint64 previousCheck, qint64 now);
} // namespace DueRule
