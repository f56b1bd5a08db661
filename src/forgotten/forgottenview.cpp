// SPDX-License-Identifier: GPL-3.0-or-later
#include "forgotten/forgottenview.h"

#include "alerts/watcher.h"
#include "editor/toolbarcontrol.h"
#include "host/clock.h"
#include "host/messageboxes.h"
#include "host/richtextbox.h"
#include "slots/reminderslot.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolBar>

namespace {
// The count text is read from its beginning.
void setListText(QComboBox* list, const QString& text) {
    list->setEditText(text);
    list->lineEdit()->setCursorPosition(0);
}
} // namespace

ForgottenView::ForgottenView(const HostServices& host, const SlotTable& slots, const SlotSchedule& schedule,
                             std::function<void(int)> removeSlot, std::function<void()> needControls)
    : m_host(host), m_slots(slots), m_schedule(schedule), m_removeSlot(std::move(removeSlot)),
      m_needControls(std::move(needControls)) {}

void ForgottenView::setControls(Controls controls) {
    m_c = controls;
    // The list is as wide as its texts need, and no wider, so the whole toolbar fits the window.
    m_c.toolbar->fitComboToTexts(QStringLiteral("ID_Odkazy"),
                                 {QString::fromUtf8(Forgotten::kEmptyText),
                                  QString::fromUtf8(Forgotten::kCountText) + QString::number(kSlotCount)});
    showList();
}

void ForgottenView::showList() {
    QComboBox* list = m_c.toolbar->combo(QStringLiteral("ID_Odkazy"));
    for (int k = 1; k <= kSlotCount; ++k)
        if (forgottenBox.entry(k).isForgotten == 1)
            list->addItem(QString::fromUtf8(Forgotten::kListItem) + forgottenBox.entry(k).dateText);
    setListText(list, forgottenBox.count == 0
                          ? QString::fromUtf8(Forgotten::kEmptyText)
                          : QString::fromUtf8(Forgotten::kCountText) + QString::number(forgottenBox.count));
}

void ForgottenView::zistizabudnuté(qint64 watchedFrom) {
    forgottenBox.count = 0;
    for (int k = 1; k <= kSlotCount; ++k) {
        if (!Forgotten::isForgotten(m_slots[k].date, m_schedule.slotTime(k), watchedFrom))
            continue;
        ForgottenEntry& entry = forgottenBox.entry(k);
        entry.isForgotten = 1;
        entry.noteCopy = m_slots[k].note;
        entry.timeText = DateText::toText(m_schedule.slotTime(k));
        entry.dateText = DateText::toText(m_slots[k].date);
        ++forgottenBox.count;
    }
    // Without controls, the list is shown when they are made.
    if (m_c.toolbar)
        showList();
    else if (forgottenBox.count != 0 && m_needControls)
        m_needControls();
    if (forgottenBox.count == 0)
        return;
    m_c.toolbar->toolbar(1)->hide();
    m_c.toolbar->toolbar(2)->show();
    const int answer = m_host.boxes->msgBox(Forgotten::questionText(),
                                            MessageBoxes::YesNoCancel | MessageBoxes::Information |
                                                MessageBoxes::SystemModal,
                                            QString::fromUtf8(Forgotten::kQuestionTitle));
    if (answer == MessageBoxes::Yes) {
        vymažzabudnuté();
    } else if (answer == MessageBoxes::No) {
        ukažodkaz();
    } else {
        m_c.toolbar->toolbar(1)->show();
        m_c.toolbar->toolbar(2)->hide();
    }
}

void ForgottenView::vymažzabudnuté() {
    QComboBox* list = m_c.toolbar->combo(QStringLiteral("ID_Odkazy"));
    list->clear();
    setListText(list, QString::fromUtf8(Forgotten::kEmptyText));
    m_c.toolbar->toolbar(1)->show();
    m_c.toolbar->toolbar(2)->hide();
    // Only what the user was asked about, and only while it is still forgotten (not given a new
    // date or time meanwhile).
    const qint64 current = DateTimeValue::fromDateTime(m_host.clock->now()).totalSeconds();
    for (int k = 1; k <= kSlotCount; ++k) {
        if (forgottenBox.entry(k).isForgotten != 1 ||
            !Forgotten::isForgotten(m_slots[k].date, m_schedule.slotTime(k), current))
            continue;
        m_removeSlot(k);
    }
}

void ForgottenView::ukažodkaz() {
    m_c.calendar->setSelectedDate(m_host.clock->now().date());
    m_c.tabs->hide();
    m_c.calendar->show();
    m_c.clock->hide();
    m_c.editor->hide();
    m_c.window->setWindowTitle(QString::fromUtf8(Forgotten::kQuestionTitle));
    m_c.note->show();
    m_c.dateEntry->hide();
    popisikony();
    skryikony();
}

void ForgottenView::popisikony() {
    for (int k = 1; k <= kSlotCount; ++k) {
        const ForgottenEntry& e = forgottenBox.entry(k);
        if (e.isForgotten == 1)
            m_c.toolbar->setToolTipText(QStringLiteral("ID_New%1").arg(k),
                                        QString::fromUtf8(Forgotten::kIconTip) + e.dateText +
                                            QLatin1Char(' ') + e.timeText);
    }
}

void ForgottenView::skryikony() {
    for (int k = 1; k <= kSlotCount; ++k)
        if (forgottenBox.entry(k).isForgotten != 1)
            m_c.toolbar->setToolVisible(QStringLiteral("ID_New%1").arg(k), false);
}

void ForgottenView::showEntry(int k) {
    m_c.note->setTextRTF(forgottenBox.entry(k).noteCopy);
}

void ForgottenView::returnToEditor() {
    m_c.tabs->show();
    m_c.clock->show();
    m_c.editor->show();
    m_c.window->setWindowTitle(QStringLiteral("Pripomin - MENU"));
    m_c.note->hide();
    m_c.calendar->hide();
    m_c.dateEntry->show();
    m_c.toolbar->toolbar(1)->show();
    m_c.toolbar->toolbar(2)->hide();
}
