#include "alerts/duerule.h"

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

} // namespace DueRule
