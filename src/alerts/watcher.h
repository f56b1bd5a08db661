// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/datetime.h"

#include <QObject>

class Clock;
class QTimer;

// What the watcher reads of the slots: each slot's date (the zero date: none) and the value of its
// time picker (only the time of day counts). Slots 1 to 12.
class SlotSchedule {
  public:
    virtual ~SlotSchedule() = default;
    virtual DateTimeValue slotDate(int k) const = 0;
    virtual DateTimeValue slotTime(int k) const = 0;
};

// Fires every slot whose second of local time has come, once. One precise single-shot timer,
// `Timer3`, is armed for the instant the next due second begins (or the next midnight, or a safety
// check a minute on); slot changes, clock and zone changes and resumes re-arm it.
class Watcher : public QObject {
    Q_OBJECT
  public:
    Watcher(const Clock& clock, const SlotSchedule& schedule, QObject* parent = nullptr);

    // Starts watching with the present second: everything due from it on fires.
    void start();
    // Stops the timer; resume() arms it again, counting on from the last second checked.
    void stop();
    void resume();

    // One check: every slot due since the last one fires, in slot order.
    void Timer3_Timer();
    // Slot k was given another date or time: it counts from the present second on (a moment already
    // past does not fire, the present one does); the others are checked up to now first.
    void slotChanged(int k);
    // The wall clock was set or jumped, the zone changed, or the machine woke up.
    void clockChanged();
    // While the screen is locked no slot is taken: one falling due is only told (heldSlotDue), and
    // releasing fires everything that fell due meanwhile as after a jump of the clock.
    void setHeld(bool held);

    // The first second this watcher covers (seconds of local time since 30 December 1899): what
    // fell due before it is not its to fire.
    qint64 watchedFrom() const { return m_startedAt; }
    // The moment the timer is armed for next, in the same seconds.
    qint64 nextCheck() const;
    QTimer* timer() const { return m_timer; }
    // Armed for a few seconds before the next slot's moment, when that comes before the next check.
    QTimer* soonTimer() const { return m_soonTimer; }

  Q_SIGNALS:
    // Slot k fell due. The receiver takes the slot's note and gives up its time, synchronously:
    // the check goes on with the next slot when this returns.
    void slotDue(int k);
    // While held: a slot's second came.
    void heldSlotDue();
    // The local date is another than at the last check (midnight, a clock or zone change).
    void dayChanged();
    // A slot falls due within a few seconds: what its alert needs can be made ready now, out of
    // the way of its second.
    void slotDueSoon();

  private:
    void check(int changedSlot);
    void arm();
    // The last second checked (while held: told).
    qint64 checkedUpTo() const;
    // The first moment of a slot after the last second checked, or 0.
    qint64 nextDue() const;
    // The next check, given the next slot's moment.
    qint64 nextCheck(qint64 due) const;

    const Clock& m_clock;
    const SlotSchedule& m_schedule;
    QTimer* m_timer = nullptr;
    QTimer* m_soonTimer = nullptr;
    bool m_running = false;
    bool m_inCheck = false;
    bool m_held = false;
    qint64 m_startedAt = 0;
    qint64 m_lastCheck = 0;
    qint64 m_heardUpTo = 0; // while held: the second up to which due slots have been told
    qint64 m_dayStart = 0;  // the midnight that began the day of the last check
};
