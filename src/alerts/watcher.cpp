// The watcher of the main window: fires every slot whose second has come.
#include "app/mainwindow.h"

#include "alerts/duerule.h"
#include "host/clock.h"
#include "host/sound.h"

#include <QScopedValueRollback>
#include <QTimer>

namespace {
// With nothing due sooner, the watcher still looks once a minute, so a missed re-arm can delay a
// reminder but never lose it.
constexpr qint64 kSafetyCheckSeconds = 60;
constexpr qint64 kMarginMs = 1;
constexpr qint64 kDaySeconds = 86400;
} // namespace

void MainWindow::Timer3_Timer() {
    checkDueSlots(0);
}

void MainWindow::checkDueSlots(int changedSlot) {
    const QScopedValueRollback<bool> inTick(m_inTick, true);
    const qint64 current = DateTimeValue::fromDateTime(now()).totalSeconds();
    // Past midnight (or after the clock or the zone moved the day) the today display follows.
    if (current < m_todayStart || current >= m_todayStart + kDaySeconds)
        dnesje();
    if (m_alertsHeld) {
        soundHeldSlots(current, changedSlot);
        return;
    }
    // A clock set backwards: the second it now reads is checked, nothing between it and the old
    // check fires a second time (a slot that fired has given up its time).
    const qint64 previous = std::min(m_lastCheck, current - 1);
    m_lastCheck = current;
    for (int k = 1; k <= kSlotCount; ++k) {
        // A slot just given a time counts from the present second on: a moment already past does
        // not fire, the present one does.
        const qint64 from = k == changedSlot ? current - 1 : previous;
        if (!DueRule::isDue(slots[k].date, pickerValue(k), from, current))
            continue;
        const QString note = slots[k].note;
        emptySlot(k);
        // The alert's confirmation box runs its own event loop; opening it from inside this tick
        // would stop the watcher until the box is answered, so the opening is queued.
        if (openAlert)
            openAlert(k, note);
    }
}

void MainWindow::soundHeldSlots(qint64 current, int changedSlot) {
    const qint64 previous = std::min(m_heardUpTo, current - 1);
    bool due = false;
    for (int k = 1; k <= kSlotCount; ++k)
        due |= DueRule::isDue(slots[k].date, pickerValue(k), k == changedSlot ? current - 1 : previous, current);
    m_heardUpTo = current;
    if (due && m_host.sound)
        m_host.sound->playAsync(m_host.programFolder + QStringLiteral("/Flauta.wav"));
}

void MainWindow::setAlertsHeld(bool held) {
    if (held == m_alertsHeld)
        return;
    m_alertsHeld = held;
    m_heardUpTo = m_lastCheck;
    if (held || m_loading || m_unloaded)
        return;
    Timer3_Timer();
    armTimer3();
}

void MainWindow::slotScheduleChanged(int k) {
    if (m_loading || m_unloaded || m_inTick)
        return;
    checkDueSlots(k);
    armTimer3();
}

void MainWindow::clockChanged() {
    if (m_loading || m_unloaded)
        return;
    Timer3_Timer();
    armTimer3();
}

qint64 MainWindow::nextCheck() const {
    const qint64 checked = m_alertsHeld ? m_heardUpTo : m_lastCheck;
    // The next midnight too, so the today display turns over with the day.
    const qint64 midnight = m_todayStart + kDaySeconds;
    qint64 next = std::min(checked + kSafetyCheckSeconds, std::max(midnight, checked + 1));
    for (int k = 1; k <= kSlotCount; ++k) {
        if (slots[k].date.isZero())
            continue;
        const qint64 moment = DueRule::dueMoment(slots[k].date, pickerValue(k));
        if (moment > checked && moment < next)
            next = moment;
    }
    return next;
}

void MainWindow::armTimer3() {
    if (m_unloaded)
        return;
    // One precise wake-up just after the start of the second in which the next slot falls due, in
    // real time: where the local time jumps (daylight saving) the wait ends at the jump and is
    // counted again. The one millisecond more covers a clock being slewed; a wake-up that still
    // comes early finds nothing due and re-arms for the few milliseconds left.
    const qint64 delay = DueRule::msUntil(now(), nextCheck(), kSafetyCheckSeconds * 1000);
    Timer3->start(int(delay + kMarginMs));
}
