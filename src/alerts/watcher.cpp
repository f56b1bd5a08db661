// The watcher of the main window: fires every slot whose second has come.
#include "app/mainwindow.h"

#include "alerts/duerule.h"
#include "host/clock.h"
#include "host/richtextbox.h"
#include "host/sound.h"

#include <QScopedValueRollback>
#include <QTabWidget>
#include <QTimer>

namespace {
// With nothing due sooner, the watcher still looks once a minute, so a missed re-arm can delay a
// reminder but never lose it.
constexpr qint64 kSafetyCheckSeconds = 60;
constexpr qint64 kMarginMs = 1;
} // namespace

void MainWindow::Timer3_Timer() {
    checkDueSlots(0);
}

void MainWindow::checkDueSlots(int skippedSlot) {
    const QScopedValueRollback<bool> inTick(m_inTick, true);
    const qint64 current = DateTimeValue::fromDateTime(now()).totalSeconds();
    // A clock set backwards: nothing between now and the old check fires a second time.
    if (current < m_lastCheck) {
        m_lastCheck = current;
        return;
    }
    if (m_alertsHeld) {
        soundHeldSlots(current, skippedSlot);
        return;
    }
    const qint64 previous = m_lastCheck;
    m_lastCheck = current;
    for (int k = 1; k <= kSlotCount; ++k) {
        if (k == skippedSlot || !DueRule::isDue(slots[k].date, pickerValue(k), previous, current))
            continue;
        const QString note = slots[k].note;
        setPickerValue(k, DateTimeValue());
        slots[k].note = QStringLiteral(" ");
        if (currentSlot() == k)
            RichTextBox1->setTextRTF(QStringLiteral(" "));
        SSTab1->setTabText(k - 1, QStringLiteral("00:00:00"));
        // The alert's confirmation box runs its own event loop; opening it from inside this tick
        // would stop the watcher until the box is answered, so the opening is queued.
        if (openAlert)
            openAlert(k, note);
    }
}

void MainWindow::soundHeldSlots(qint64 current, int skippedSlot) {
    if (current < m_heardUpTo) {
        m_heardUpTo = current;
        return;
    }
    bool due = false;
    for (int k = 1; k <= kSlotCount; ++k)
        due |= k != skippedSlot && DueRule::isDue(slots[k].date, pickerValue(k), m_heardUpTo, current);
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
    // Every other slot is checked up to now first; the changed slot's new moment counts from now
    // on, so a time set in the past does not fire, just as with a check every second.
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
    qint64 next = checked + kSafetyCheckSeconds;
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
    // One precise wake-up just after the start of the second in which the next slot falls due.
    // The milliseconds are cut, not rounded, so the delay never falls short of the second; the
    // one millisecond more covers a clock being slewed. A wake-up that still comes early finds
    // nothing due and re-arms for the few milliseconds left.
    const QDateTime current = now();
    const qint64 seconds = nextCheck() - DateTimeValue::fromDateTime(current).totalSeconds();
    const qint64 delay = seconds <= 0 ? 0 : seconds * 1000 - current.time().msec() + kMarginMs;
    Timer3->start(int(std::min<qint64>(delay, kSafetyCheckSeconds * 1000 + kMarginMs)));
}
