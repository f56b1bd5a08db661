// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/datetime.h"

#include <QDateTime>

namespace DueRule {
// The second at which a slot falls due: its day at the picker's time of day (the day the picker
// value carries plays no part). Seconds of local wall time since 30 December 1899.
qint64 dueMoment(DateTimeValue slotDate, DateTimeValue pickerValue);
// Due when the slot has a date and its moment lies after the previous check and not after now,
// so a second that no check reached still fires once, at the next check.
bool isDue(DateTimeValue slotDate, DateTimeValue pickerValue, qint64 previousCheck, qint64 now);
// Real milliseconds from now until the local time reads the given second (at most the cap; 0 when
// it has come). Local time jumps where its zone's offset changes (daylight saving), so the wait
// never runs past the next change: waking there, the caller counts again from the new local time.
qint64 msUntil(const QDateTime& now, qint64 wallSecond, qint64 capMs);
} // namespace DueRule
