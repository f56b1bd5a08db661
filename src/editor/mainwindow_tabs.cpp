// Slot tabs, time pickers, help and the today display of the main window.
#include "app/mainwindow.h"

#include "editor/todaydisplay.h"
#include "editor/toolbarcontrol.h"
#include "host/clock.h"
#include "host/richtextbox.h"
#include "host/shell.h"

#include <QDateTimeEdit>
#include <QLabel>
#include <QTabWidget>

void MainWindow::SSTab1_Click() {
    if (const int k = currentSlot())
        RichTextBox1->setTextRTF(m_store.slots[k].note);
}

void MainWindow::nápoveda() { m_host.shell->open(m_host.programFolder + QStringLiteral("/Pripomin.html")); }

void MainWindow::sampleSlotTime(int k) { m_store.slots[k].time = slotTimeText(DTPicker[k - 1]->time()); }

void MainWindow::Timer2_Timer() {
    for (int k = 1; k <= kSlotCount; ++k)
        sampleSlotTime(k);
    RichTextBox13->setText(DateText::timeText(now().time()));
}

void MainWindow::zobraztermíny() {
    for (int k = 1; k <= kSlotCount; ++k) {
        const auto t = DateText::tryParseTime(m_store.slots[k].time);
        setPickerValue(k, DateTimeValue::fromTime(t.value_or(QTime(0, 0))));
    }
    for (int i = 0; i < kSlotCount; ++i) {
        SSTab1->setCurrentIndex(i);
        SSTab1->setTabText(i, DateText::toText(m_store.slots[i + 1].date));
    }
}

void MainWindow::dnesje() {
    const QDate today = now().date();
    todayWeekdayName = TodayDisplay::weekdayName(today);
    Lišta1->textTool(QStringLiteral("ID_Legend"))->setText(TodayDisplay::legendText(today));
}
