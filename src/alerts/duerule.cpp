// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/duerule.h"

#include <QTimeZone>
#include <algorithm>

namespace DueRule {

qint64 dueMoment(DateTimeValue slotDate, DateTimeValue pickerValue) {
    return slotDate.datePart().totalSeconds() + pickerValue.secondsOfDay();
}

bool isDue(DateTimeValue slotDate, DateTimeValue pickerValue, qint64 previousCheck, qint64 now) {
    if (slotDate.isZero())
        return false;
    const qint64 moment = dueMoment(slotDate, pickerValue);
    return previousCheck < moment && moment <= now;
}

qint64 msUntil(const QDateTime& now, qint64 wallSecond, qint64 capMs) {
    const qint64 wallNowMs = DateTimeValue::fromDateTime(now).totalSeconds() * 1000 + now.time().msec();
    qint64 delay = std::min(wallSecond * 1000 - wallNowMs, capMs);
    const QTimeZone zone = now.timeZone();
    if (zone.isValid() && zone.hasTransitions()) {
        const QTimeZone::OffsetData change = zone.nextTransition(now);
        if (change.atUtc.isValid())
            delay = std::min(delay, now.msecsTo(change.atUtc));
    }
    return std::max<qint64>(delay, 0);
}

} // namespace DueRule
