// The watcher of the main window: fires every slot whose second has come.
#include "app/mainwindow.h"

#include "alerts/duerule.h"
#include "host/clock.h"
#include "host/richtextbox.h"

#include <QTabWidget>

void MainWindow::Timer3_Timer() {
    const qint64 current = DateTimeValue::fromDateTime(now()).totalSeconds();
    // A clock set backwards: nothing between now and the old check fires a second time.
    if (current < m_lastCheck) {
        m_lastCheck = current;
        return;
    }
    const qint64 previous = m_lastCheck;
    m_lastCheck = current;
    for (int k = 1; k <= kSlotCount; ++k) {
        if (!DueRule::isDue(slots[k].date, pickerValue(k), previous, current))
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
