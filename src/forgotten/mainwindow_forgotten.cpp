// Forgotten reminders: detection at start and the forgotten-reminder view of the main window.
#include "app/mainwindow.h"

#include "editor/toolbarcontrol.h"
#include "host/clock.h"
#include "host/messageboxes.h"
#include "host/richtextbox.h"

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

void MainWindow::zistizabudnuté() {
    forgottenBox.count = 0;
    QComboBox* list = Lišta1->combo(QStringLiteral("ID_Odkazy"));
    // Everything from this second on is the watcher's; it has checked nothing yet.
    const qint64 watchedFrom = m_watcher->watchedFrom();
    for (int k = 1; k <= kSlotCount; ++k) {
        if (!Forgotten::isForgotten(m_store.slots[k].date, pickerValue(k), watchedFrom))
            continue;
        ForgottenEntry& entry = forgottenBox.entry(k);
        entry.isForgotten = 1;
        entry.noteCopy = m_store.slots[k].note;
        entry.timeText = DateText::toText(pickerValue(k));
        entry.dateText = DateText::toText(m_store.slots[k].date);
        ++forgottenBox.count;
        list->addItem(QString::fromUtf8(Forgotten::kListItem) + DateText::toText(m_store.slots[k].date));
    }
    if (forgottenBox.count == 0) {
        setListText(list, QString::fromUtf8(Forgotten::kEmptyText));
        return;
    }
    setListText(list, QString::fromUtf8(Forgotten::kCountText) + QString::number(forgottenBox.count));
    Lišta1->toolbar(1)->hide();
    Lišta1->toolbar(2)->show();
    const int answer = m_host.boxes->msgBox(Forgotten::questionText(),
                                            MessageBoxes::YesNoCancel | MessageBoxes::Information |
                                                MessageBoxes::SystemModal,
                                            QString::fromUtf8(Forgotten::kQuestionTitle));
    if (answer == MessageBoxes::Yes) {
        vymažzabudnuté();
    } else if (answer == MessageBoxes::No) {
        ukažodkaz();
    } else {
        Lišta1->toolbar(1)->show();
        Lišta1->toolbar(2)->hide();
    }
}

void MainWindow::vymažzabudnuté() {
    QComboBox* list = Lišta1->combo(QStringLiteral("ID_Odkazy"));
    list->clear();
    setListText(list, QString::fromUtf8(Forgotten::kEmptyText));
    Lišta1->toolbar(1)->show();
    Lišta1->toolbar(2)->hide();
    // Only what the user was asked about, and only while it is still forgotten (not given a new
    // date or time meanwhile).
    const qint64 current = DateTimeValue::fromDateTime(now()).totalSeconds();
    for (int k = 1; k <= kSlotCount; ++k) {
        if (forgottenBox.entry(k).isForgotten != 1 ||
            !Forgotten::isForgotten(m_store.slots[k].date, pickerValue(k), current))
            continue;
        m_store.slots[k].date = DateTimeValue();
        emptySlot(k);
    }
}

void MainWindow::ukažodkaz() {
    MonthView2->setSelectedDate(now().date());
    SSTab1->hide();
    MonthView2->show();
    RichTextBox13->hide();
    RichTextBox1->hide();
    setWindowTitle(QString::fromUtf8(Forgotten::kQuestionTitle));
    zabudnuté->show();
    MonthView1->hide();
    popisikony();
    skryikony();
}

void MainWindow::popisikony() {
    for (int k = 1; k <= kSlotCount; ++k) {
        const ForgottenEntry& e = forgottenBox.entry(k);
        if (e.isForgotten == 1)
            Lišta1->setToolTipText(QStringLiteral("ID_New%1").arg(k),
                                   QString::fromUtf8(Forgotten::kIconTip) + e.dateText + QLatin1Char(' ') + e.timeText);
    }
}

void MainWindow::skryikony() {
    for (int k = 1; k <= kSlotCount; ++k)
        if (forgottenBox.entry(k).isForgotten != 1)
            Lišta1->setToolVisible(QStringLiteral("ID_New%1").arg(k), false);
}

void MainWindow::showForgottenEntry(int k) { zabudnuté->setTextRTF(forgottenBox.entry(k).noteCopy); }

void MainWindow::returnToEditor() {
    SSTab1->show();
    RichTextBox13->show();
    RichTextBox1->show();
    setWindowTitle(QStringLiteral("Pripomin - MENU"));
    zabudnuté->hide();
    MonthView2->hide();
    MonthView1->show();
    Lišta1->toolbar(1)->show();
    Lišta1->toolbar(2)->hide();
}
