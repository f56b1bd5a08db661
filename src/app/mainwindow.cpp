// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow.h"

#include "editor/dateentry.h"
#include "editor/todaydisplay.h"
#include "editor/toolbarcontrol.h"
#include "host/clock.h"
#include "host/datetime.h"
#include "host/messageboxes.h"
#include "host/richtextbox.h"
#include "host/runtimeerror.h"
#include "host/shell.h"
#include "host/sound.h"
#include "tray/backgroundmode.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDateTimeEdit>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCharFormat>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <utility>

namespace {
// How long a change may wait for the disk; the changes of that time are written together.
constexpr int kSaveDelay = 1000;
} // namespace

MainWindow::MainWindow(HostServices host, QWidget* parent)
    : QWidget(parent), m_host(std::move(host)), m_store(m_host.configFolder, m_host.dataFolder),
      m_forgotten(
          m_host, m_store.slots, static_cast<const SlotSchedule&>(*this),
          [this](int k) {
              m_store.slots[k].date = DateTimeValue();
              emptySlot(k);
              saveSoon();
          },
          [this] { buildControls(); }) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Pripomin"));
    m_pickerValues.fill(DateTimeValue::fromDateTime(pickerDesignValue()));
    m_tabCaptions.fill(QStringLiteral("00:00"));
    wireControls();
}

MainWindow::~MainWindow() = default;

void MainWindow::setVisible(bool visible) {
    if (visible)
        buildControls();
    QWidget::setVisible(visible);
}

void MainWindow::buildControls() {
    if (controlsBuilt())
        return;
    m_ui = buildMainWindowControls(this, m_host.programFolder);
    for (int i = 0; i < kSlotCount; ++i) {
        m_ui.DTPicker[i]->setDateTime(m_pickerValues[i].toDateTime());
        m_ui.SSTab1->setTabText(i, m_tabCaptions[i]);
    }
    m_ui.SSTab1->setCurrentIndex(m_currentTab);
    m_ui.Lišta1->textTool(QStringLiteral("ID_Legend"))->setText(m_legend);
    m_formatting = std::make_unique<NoteFormatting>(m_ui.RichTextBox1, m_ui.Lišta1, m_host.programFolder);
    m_toolActions.insert(m_formatting->toolActions());
    prepareWidgets();
    m_forgotten.setControls(ForgottenView::Controls{this, m_ui.Lišta1, m_ui.SSTab1, m_ui.RichTextBox1,
                                                    m_ui.RichTextBox13, m_ui.MonthView1, m_ui.MonthView2,
                                                    m_ui.zabudnuté});
    wireWidgets();
    SSTab1_Click();
}

void MainWindow::prepareWidgets() {
    const QDate ahead = now().date().addDays(31);
    for (QCalendarWidget* view : {m_ui.MonthView1, m_ui.MonthView2})
        view->setSelectedDate(ahead);
    MonthView1_GetDayBold();

    m_ui.Lišta1->toolbar(2)->hide();
    m_ui.Lišta1->toolbar(1)->show();

    // Centre on the screen without changing the size: the size the window has once the second
    // toolbar is put away.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = sizeHint();
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - s.width()) / 2, area.y() + (area.height() - s.height()) / 2);
    }

    QComboBox* fonts = m_ui.Lišta1->combo(QStringLiteral("ID_Font"));
    const QStringList families = QFontDatabase::families();
    for (int i = 0; i <= 10 && i < families.size(); ++i)
        fonts->addItem(families.at(i));
    fonts->setEditText(QStringLiteral("MS Sans Serif"));
    QComboBox* sizes = m_ui.Lišta1->combo(QStringLiteral("ID_Size"));
    if (sizes->count() == 0)
        sizes->addItems({"10", "12", "14", "18", "24", "36", "8"});
    sizes->setEditText(QStringLiteral("12"));
}

void MainWindow::wireWidgets() {
    for (int k = 1; k <= 12; ++k) {
        // A picker change reaches the slot's time at once; nothing needs to poll the pickers.
        connect(m_ui.DTPicker[k - 1], &QDateTimeEdit::dateTimeChanged, this,
                [this, k](const QDateTime& value) {
                    m_pickerValues[k - 1] = DateTimeValue::fromDateTime(value);
                    sampleSlotTime(k);
                    m_watcher->slotChanged(k);
                    saveSoon();
                });
        m_ui.Image[k - 1]->installEventFilter(this);
    }
    connect(m_ui.SSTab1, &QTabWidget::currentChanged, this, [this](int index) {
        m_currentTab = index;
        SSTab1_Click();
    });
    connect(m_ui.RichTextBox1, &RichTextBox::contentChanged, this, [this] { RichTextBox1_Change(); });
    connect(m_ui.RichTextBox1, &RichTextBox::linkActivated, this,
            [this](const QString& target) { m_host.shell->open(target); });
    connect(m_ui.MonthView1, &QCalendarWidget::selectionChanged, this, [this] {
        m_selectionChangedSincePress = true;
        MonthView1_SelChange();
    });
    // The calendar does not follow the tabs, so the day it shows selected may be another slot's:
    // clicking it chooses it for this slot too, although the calendar reports no change then.
    if (auto* days = m_ui.MonthView1->findChild<QAbstractItemView*>()) {
        m_calendarDays = days->viewport();
        m_calendarDays->installEventFilter(this);
    }
    connect(m_ui.MonthView1, &QCalendarWidget::clicked, this, [this] {
        if (!std::exchange(m_selectionChangedSincePress, false))
            MonthView1_SelChange();
    });
    connect(m_ui.MonthView1, &QCalendarWidget::currentPageChanged, this, [this] { MonthView1_GetDayBold(); });

    connect(m_ui.Lišta1, &ToolBarControl::toolClicked, this,
            [this](const QString& id) { Lišta1_ToolClick(id); });
    connect(m_ui.Lišta1, &ToolBarControl::comboChosen, this,
            [this](const QString& id) { Lišta1_ComboClick(id); });
}

void MainWindow::wireControls() {
    m_toolActions.insert(QStringLiteral("ID_AcceptChange"), [this] { aktivácia(); });
    m_toolActions.insert(QStringLiteral("ID_StopCurrentJump"), [this] { deaktivácia(); });
    m_toolActions.insert(QStringLiteral("ID_Tool1"), [this] { m_forgotten.returnToEditor(); });
    for (int k = 1; k <= kSlotCount; ++k)
        m_toolActions.insert(QStringLiteral("ID_New%1").arg(k), [this, k] { m_forgotten.showEntry(k); });

    m_saveTimer = new QTimer(this);
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(kSaveDelay);
    connect(m_saveTimer, &QTimer::timeout, this, [this] { saveChanges(); });

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setSingleShot(true);
    Timer2->setTimerType(Qt::PreciseTimer);
    connect(Timer2, &QTimer::timeout, this, [this] {
        Timer2_Timer();
        armTimer2();
    });
    m_watcher = new Watcher(*m_host.clock, *this, this);
    connect(m_watcher, &Watcher::slotDue, this, [this](int k) { fireSlot(k); });
    connect(m_watcher, &Watcher::dayChanged, this, [this] { dnesje(); });
    connect(m_watcher, &Watcher::heldSlotDue, this, [this] {
        if (m_host.sound)
            m_host.sound->playAsync(m_host.programFolder + QStringLiteral("/Flauta.wav"));
    });
}

void MainWindow::fireSlot(int k) {
    ReminderSlot beforeFiring = m_store.slots[k];
    const QString note = beforeFiring.note;
    emptySlot(k);
    m_store.keepUntilConfirmed(k, beforeFiring);
    // The alert's confirmation box runs its own event loop; opening it from inside the watcher's
    // check would stop the watcher until the box is answered, so the opening is queued.
    if (openAlert)
        openAlert(k, note);
}

void MainWindow::setAlertsHeld(bool held) {
    m_watcher->setHeld(held);
}

QDateTime MainWindow::now() const {
    return m_host.clock->now();
}

int MainWindow::currentSlot() const {
    return m_currentTab >= 0 && m_currentTab <= 11 ? m_currentTab + 1 : 0;
}

DateTimeValue MainWindow::pickerValue(int k) const {
    return m_pickerValues[k - 1];
}

void MainWindow::setPickerValue(int k, DateTimeValue v) {
    m_pickerValues[k - 1] = v;
    if (controlsBuilt())
        m_ui.DTPicker[k - 1]->setDateTime(v.toDateTime());
}

void MainWindow::setCurrentTab(int index) {
    if (controlsBuilt()) {
        m_ui.SSTab1->setCurrentIndex(index); // reports the change itself
        return;
    }
    if (std::exchange(m_currentTab, index) != index)
        SSTab1_Click();
}

void MainWindow::setTabCaption(int index, const QString& text) {
    m_tabCaptions[index] = text;
    if (controlsBuilt())
        m_ui.SSTab1->setTabText(index, text);
}

void MainWindow::Form_Load() {
    m_loading = true;
    QCoreApplication::processEvents();

    načítajnastavenia();
    načítajtexty();
    // Show the selected slot's loaded note, so an edit cannot replace it with an empty editor.
    SSTab1_Click();
    dnesje();
    // The watcher covers the second of the start too; what fell due before it is a forgotten reminder.
    m_watcher->start();
    Timer2_Timer();
    armTimer2();
    m_store.takeAsSaved();
    m_loading = false;
    if (m_unloadPending) {
        Form_Unload();
        return;
    }
    m_forgotten.zistizabudnuté(m_watcher->watchedFrom());
    QCoreApplication::processEvents();
}

void MainWindow::Form_Unload() {
    if (m_unloaded)
        return;
    // A close that comes while the slots are still being read (a signal during the first message
    // loop pass) would write the empty table over the user's files: it waits for the load's end.
    if (m_loading) {
        m_unloadPending = true;
        return;
    }
    m_unloaded = true;
    Timer2->stop();
    m_saveTimer->stop();
    m_watcher->stop();
    uložnastavenia();
    const QStringList failed = saveSlots();
    if (!failed.isEmpty() && !endDespiteFailedSave(failed)) {
        // The user keeps the program, to make room or fix the folder and close again.
        m_unloaded = false;
        m_watcher->resume();
        if (isVisible()) {
            armTimer2();
        } else {
            show();
            raise();
            activateWindow();
        }
        return;
    }
    if (onUnloaded)
        onUnloaded();
}

void MainWindow::closeForTermination() {
    m_terminating = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Form_Unload();
    if (m_unloaded)
        event->accept();
    else
        event->ignore();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Timer2_Timer();
    armTimer2();
}

void MainWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // The clock is only rewritten while someone can see it.
    Timer2->stop();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A press starts a click of its own: whatever changed the selection before does not count.
    if (watched == m_calendarDays && event->type() == QEvent::MouseButtonPress)
        m_selectionChangedSincePress = false;
    if (event->type() == QEvent::MouseButtonRelease) {
        for (QLabel* image : m_ui.Image)
            if (watched == image) {
                nápoveda();
                return true;
            }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::armTimer2() {
    if (!isVisible() || m_unloaded)
        return;
    // Wake just after the next whole second, so the clock turns over with the second.
    const int msIntoSecond = now().time().msec();
    Timer2->start(1000 - msIntoSecond + 5);
}

void MainWindow::SSTab1_Click() {
    if (const int k = currentSlot())
        showNote(m_store.slots[k].note);
}

void MainWindow::showNote(const QString& rtf) {
    if (!controlsBuilt())
        return; // shown when the editor is made
    // The slot keeps its note as the file gave it; only the user's own change rewrites it.
    const QScopedValueRollback<bool> showing(m_showingNote, true);
    m_ui.RichTextBox1->setTextRTF(rtf);
}

void MainWindow::nápoveda() {
    m_host.shell->open(m_host.programFolder + QStringLiteral("/Pripomin.html"));
}

void MainWindow::sampleSlotTime(int k) {
    m_store.slots[k].time = slotTimeText(m_pickerValues[k - 1].toDateTime().time());
}

void MainWindow::sampleSlotTimes() {
    for (int k = 1; k <= kSlotCount; ++k)
        sampleSlotTime(k);
}

void MainWindow::Timer2_Timer() {
    sampleSlotTimes();
    if (controlsBuilt())
        m_ui.RichTextBox13->setText(DateText::timeText(now().time()));
}

void MainWindow::zobraztermíny() {
    for (int k = 1; k <= kSlotCount; ++k) {
        const auto t = DateText::tryParseTime(m_store.slots[k].time);
        setPickerValue(k, DateTimeValue::fromTime(t.value_or(QTime(0, 0))));
    }
    for (int i = 0; i < kSlotCount; ++i) {
        setCurrentTab(i);
        setTabCaption(i, DateText::toText(m_store.slots[i + 1].date));
    }
}

void MainWindow::dnesje() {
    const QDate today = now().date();
    todayWeekdayName = TodayDisplay::weekdayName(today);
    m_legend = TodayDisplay::legendText(today);
    if (controlsBuilt())
        m_ui.Lišta1->textTool(QStringLiteral("ID_Legend"))->setText(m_legend);
}

void MainWindow::Lišta1_ToolClick(const QString& id) {
    const auto action = m_toolActions.constFind(id);
    if (action == m_toolActions.cend())
        return;
    try {
        (*action)();
    } catch (const RunTimeError& e) {
        showToolError(e.number, e.description);
    } catch (const std::exception& e) {
        showToolError(51, QString::fromLocal8Bit(e.what()));
    }
}

void MainWindow::Lišta1_ComboClick(const QString& id) {
    if (m_formatting)
        m_formatting->Lišta1_ComboClick(id);
}

void MainWindow::RichTextBox1_Change() {
    if (const int k = currentSlot(); k && !m_showingNote) {
        m_store.slots[k].note = m_ui.RichTextBox1->textRTF();
        saveSoon();
    }
    m_formatting->showSelectionFormat();
}

void MainWindow::showToolError(int number, const QString& description) {
    const QString crlf = QStringLiteral("\r\n");
    m_host.boxes->msgBox(
        QStringLiteral("Číslo chyby : %1").arg(number) + crlf + QStringLiteral("Charakteristika chyby : ") +
            description + crlf + crlf +
            QStringLiteral("Nenašiel sa súbor farieb ktorý program potrebuje pre svoju činnosť.") + crlf +
            QStringLiteral(" Možno ste ho náhodou vymazali. Ak problémy pretrvávajú, program "
                           "preinštalujte."),
        MessageBoxes::Critical, QStringLiteral("Chyba v programe Pripomin"));
}

void MainWindow::MonthView1_SelChange() {
    const int k = currentSlot();
    if (!k)
        return;
    const DateTimeValue chosen = DateTimeValue::fromDate(m_ui.MonthView1->selectedDate());
    m_store.slots[k].date = chosen;
    const QDateTime current = now();
    saveSoon();
    if (!(chosen < DateTimeValue::fromDate(current.date()))) {
        setTabCaption(k - 1, DateText::toText(chosen));
        m_watcher->slotChanged(k);
        return;
    }
    m_host.boxes->msgBox(
        DateEntry::pastDayWarning(chosen, pickerValue(k), DateTimeValue::fromDateTime(current)),
        MessageBoxes::Exclamation, QString::fromUtf8(DateEntry::kWarningTitle));
    m_store.slots[k].date = DateTimeValue();
    setTabCaption(k - 1, QStringLiteral("00:00:00"));
}

void MainWindow::MonthView1_GetDayBold() {
    // The calendar shows 42 days, starting with the week before the month's first day when the
    // month begins on the first day of the week.
    const QDate first(m_ui.MonthView1->yearShown(), m_ui.MonthView1->monthShown(), 1);
    int offset = (first.dayOfWeek() - int(m_ui.MonthView1->firstDayOfWeek()) + 7) % 7;
    if (offset == 0)
        offset = 7;
    const QDate start = first.addDays(-offset);
    m_ui.MonthView1->setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int entry : DateEntry::boldDayEntries(42))
        m_ui.MonthView1->setDateTextFormat(start.addDays(entry), bold);
}

void MainWindow::aktivácia() {
    if (m_background)
        m_background->aktivácia();
}

void MainWindow::deaktivácia() {
    if (m_background)
        m_background->deaktivácia();
}

void MainWindow::uložnastavenia() {
    sampleSlotTimes();
    m_store.saveSettings();
}

void MainWindow::emptySlot(int k) {
    setPickerValue(k, DateTimeValue());
    if (currentSlot() == k)
        showNote(QStringLiteral(" "));
    m_store.slots[k].note = QStringLiteral(" ");
    setTabCaption(k - 1, QStringLiteral("00:00:00"));
}

void MainWindow::saveWithoutWindows() {
    if (m_unloaded || m_loading)
        return;
    m_unloaded = true;
    m_store.saveSettings();
    m_store.save();
}

void MainWindow::načítajnastavenia() {
    if (m_store.loadSettings())
        zobraztermíny();
}

void MainWindow::načítajtexty() {
    m_store.loadNotes();
}

QStringList MainWindow::saveSlots() {
    sampleSlotTimes();
    return m_store.save();
}

void MainWindow::saveSoon() {
    // Loading fills the slots from the disk; after the closing save nothing more is written.
    if (m_loading || m_unloaded || m_saveTimer->isActive())
        return;
    m_saveTimer->start();
}

void MainWindow::saveChanges() {
    if (m_unloaded)
        return;
    sampleSlotTimes();
    const QStringList failed = m_store.saveChanges();
    if (failed.isEmpty()) {
        m_saveFailureTold = false;
        return;
    }
    // Told once; the files stay behind and are tried again with the next change.
    if (!m_saveFailureTold)
        tellUnsaved(failed);
}

void MainWindow::tellUnsaved(const QStringList& failed) {
    // A reminder that silently failed to reach the disk would be lost at the next start.
    m_saveFailureTold = true;
    m_host.boxes->msgBox(saveFailureText(failed) +
                             QStringLiteral("\r\n\r\nOdkazy v nich zostali len v pamäti programu."),
                         MessageBoxes::Critical, QStringLiteral("Chyba v programe Pripomin"));
}

void MainWindow::alertConfirmed(int k) {
    // A box answered as the program ends (its event loop left with the program's): the closing save
    // has written the reminder as it was, to be asked about at the next start.
    if (m_unloaded)
        return;
    m_store.confirmed(k);
    saveSoon();
}

QString MainWindow::saveFailureText(const QStringList& failed) {
    return QStringLiteral("Tieto súbory sa nepodarilo uložiť:\r\n") + failed.join(QStringLiteral("\r\n"));
}

void MainWindow::uložtexty() {
    const QStringList failed = saveSlots();
    if (!failed.isEmpty())
        tellUnsaved(failed);
}

bool MainWindow::endDespiteFailedSave(const QStringList& failed) {
    if (m_terminating) {
        // Nobody is there to answer: the session is ending or the program was told to stop.
        qWarning("Pripomin: not saved: %s", qPrintable(failed.join(QStringLiteral(", "))));
        return true;
    }
    return m_host.boxes->msgBox(saveFailureText(failed) +
                                    QStringLiteral("\r\n\r\nUkončiť program aj tak? Zmeny v týchto "
                                                   "súboroch sa stratia."),
                                MessageBoxes::Critical + MessageBoxes::YesNo,
                                QStringLiteral("Chyba v programe Pripomin")) == MessageBoxes::Yes;
}
