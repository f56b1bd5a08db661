// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/watcher.h"

#include "alerts/duerule.h"
#include "host/clock.h"
#include "slots/reminderslot.h"

#include <QScopedValueRollback>
#include <QTimer>

namespace {
// With nothing due sooner, the watcher still looks once a minute, so a missed re-arm can delay a
// reminder but never lose it.
constexpr qint64 kSafetyCheckSeconds = 60;
constexpr qint64 kMarginMs = 1;
constexpr qint64 kDaySeconds = 86400;
// How long before a slot's moment its alert is made ready.
constexpr qint64 kSoonSeconds = 3;

qint64 dayStartOf(qint64 second) {
    return DateTimeValue::fromSeconds(second).datePart().totalSeconds();
}
} // namespace

Watcher::Watcher(const Clock& clock, const SlotSchedule& schedule, QObject* parent)
    : QObject(parent), m_clock(clock), m_schedule(schedule), m_timer(new QTimer(this)),
      m_soonTimer(new QTimer(this)) {
    m_soonTimer->setSingleShot(true);
    connect(m_soonTimer, &QTimer::timeout, this, &Watcher::slotDueSoon);
    m_timer->setObjectName(QStringLiteral("Timer3"));
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, [this] {
        Timer3_Timer();
        arm();
    });
}

void Watcher::start() {
    const qint64 current = DateTimeValue::fromDateTime(m_clock.now()).totalSeconds();
    m_startedAt = current;
    m_lastCheck = current - 1;
    m_dayStart = dayStartOf(current);
    m_running = true;
    arm();
}

void Watcher::stop() {
    m_running = false;
    m_timer->stop();
    m_soonTimer->stop();
}

void Watcher::resume() {
    m_running = true;
    arm();
}

void Watcher::Timer3_Timer() {
    check(0);
}

void Watcher::check(int changedSlot) {
    const QScopedValueRollback<bool> inCheck(m_inCheck, true);
    const qint64 current = DateTimeValue::fromDateTime(m_clock.now()).totalSeconds();
    if (current < m_dayStart || current >= m_dayStart + kDaySeconds) {
        m_dayStart = dayStartOf(current);
        Q_EMIT dayChanged();
    }
    // A clock set backwards: the second it now reads is checked, nothing between it and the old
    // check fires a second time (a slot that fired has given up its time).
    qint64& checked = m_held ? m_heardUpTo : m_lastCheck;
    const qint64 previous = std::min(checked, current - 1);
    checked = current;
    bool heldDue = false;
    for (int k = 1; k <= kSlotCount; ++k) {
        const qint64 from = k == changedSlot ? current - 1 : previous;
        if (!DueRule::isDue(m_schedule.slotDate(k), m_schedule.slotTime(k), from, current))
            continue;
        if (m_held)
            heldDue = true;
        else
            Q_EMIT slotDue(k);
    }
    if (heldDue)
        Q_EMIT heldSlotDue();
}

void Watcher::slotChanged(int k) {
    if (!m_running || m_inCheck)
        return;
    check(k);
    arm();
}

void Watcher::clockChanged() {
    if (!m_running)
        return;
    Timer3_Timer();
    arm();
}

void Watcher::setHeld(bool held) {
    if (held == m_held)
        return;
    m_held = held;
    m_heardUpTo = m_lastCheck;
    if (held || !m_running)
        return;
    Timer3_Timer();
    arm();
}

qint64 Watcher::checkedUpTo() const {
    return m_held ? m_heardUpTo : m_lastCheck;
}

qint64 Watcher::nextCheck() const {
    return nextCheck(nextDue());
}

qint64 Watcher::nextCheck(qint64 due) const {
    const qint64 checked = checkedUpTo();
    // The next midnight too, so the today display turns over with the day.
    const qint64 midnight = m_dayStart + kDaySeconds;
    const qint64 next = std::min(checked + kSafetyCheckSeconds, std::max(midnight, checked + 1));
    return due && due < next ? due : next;
}

qint64 Watcher::nextDue() const {
    const qint64 after = checkedUpTo();
    qint64 next = 0;
    for (int k = 1; k <= kSlotCount; ++k) {
        const DateTimeValue date = m_schedule.slotDate(k);
        if (date.isZero())
            continue;
        const qint64 moment = DueRule::dueMoment(date, m_schedule.slotTime(k));
        if (moment > after && (!next || moment < next))
            next = moment;
    }
    return next;
}

void Watcher::arm() {
    if (!m_running)
        return;
    // One precise wake-up just after the start of the second in which the next slot falls due, in
    // real time: where the local time jumps (daylight saving) the wait ends at the jump and is
    // counted again. The one millisecond more covers a clock being slewed; a wake-up that still
    // comes early finds nothing due and re-arms for the few milliseconds left.
    const QDateTime now = m_clock.now();
    const qint64 due = nextDue();
    const qint64 next = nextCheck(due);
    const qint64 delay = DueRule::msUntil(now, next, kSafetyCheckSeconds * 1000);
    m_timer->start(int(delay + kMarginMs));
    // The wake-up before the slot's: only when no check comes between, so it is armed exactly.
    m_soonTimer->stop();
    if (due && due - kSoonSeconds < next)
        m_soonTimer->start(int(DueRule::msUntil(now, due - kSoonSeconds, kSafetyCheckSeconds * 1000)));
}
