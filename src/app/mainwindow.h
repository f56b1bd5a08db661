#pragma once

#include "forgotten/forgottenbox.h"
#include "host/hostservices.h"
#include "slots/reminderslot.h"

#include <QWidget>
#include <array>
#include <functional>

class QCalendarWidget;
class QDateTimeEdit;
class QLabel;
class QTabWidget;
class QTimer;
class RichTextBox;
class ToolBarControl;
class BackgroundMode;

// The reminder editor: twelve slot tabs with their time pickers, the note editor, the calendars,
// the toolbar, and the forgotten-reminder view. Loaded once, it stays loaded (also hidden) until
// the program ends.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    explicit MainWindow(HostServices host, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: settings, notes, today display, forgotten reminders.
    void Form_Load();
    // The ordinary closing path: saves the settings and the notes, then ends the program. When a
    // file could not be saved, the user may keep the program running instead (the window shows).
    void Form_Unload();
    // Closing because the session ends or a signal asked: the same path, but asking nothing.
    void closeForTermination();

    // Writes the slot table without touching a widget or asking anything: the last resort when the
    // program is ended from outside its event loop (the display went away).
    void saveWithoutWindows();

    // Slots and their persistence.
    SlotTable slots;
    void uložnastavenia();
    void načítajnastavenia();
    void načítajtexty();
    void uložtexty();
    // Writes the notes and the settings; gives the full paths of the files that could not be written.
    QStringList saveSlots();

    // Tabs and pickers.
    void SSTab1_Click();
    void nápoveda();
    void Timer2_Timer();
    void zobraztermíny();

    // Today display.
    QString todayWeekdayName;
    void dnesje();

    // Toolbar and formatting.
    void Lišta1_ToolClick(const QString& id);
    void Lišta1_ComboClick(const QString& id);
    void RichTextBox1_Change();

    // Date entry.
    void MonthView1_SelChange();
    void MonthView1_GetDayBold();

    // The watcher.
    void Timer3_Timer();
    // The wall clock was set or jumped, or the machine woke up: check now and arm again.
    void clockChanged();
    // While the screen is locked no reminder is taken from its slot: one falling due only sounds,
    // and the unlock fires it as after a jump of the clock. A program ended meanwhile saves the
    // slot as it was, so nothing is lost.
    void setAlertsHeld(bool held);
    // The moment the watcher is armed for next: the earliest slot due after the last check, or the
    // safety check a minute on. Seconds since 30 December 1899.
    qint64 nextCheck() const;

    // Forgotten reminders.
    ForgottenBox forgottenBox;
    void zistizabudnuté();
    void vymažzabudnuté();
    void ukažodkaz();
    void popisikony();
    void skryikony();
    void showForgottenEntry(int k);
    void returnToEditor();

    // Background mode (wired by the application).
    void aktivácia();
    void deaktivácia();
    void setBackgroundMode(BackgroundMode* mode) { m_background = mode; }
    // Opens slot k's alert with the note taken at the tick; the application queues it.
    std::function<void(int slot, const QString& note)> openAlert;
    // Runs after the closing path saved everything (the application quits there).
    std::function<void()> onUnloaded;

    // Controls, by their design names.
    ToolBarControl* Lišta1 = nullptr;
    QTabWidget* SSTab1 = nullptr;
    std::array<QDateTimeEdit*, 12> DTPicker{};
    std::array<QLabel*, 12> Image{};
    RichTextBox* RichTextBox1 = nullptr;
    RichTextBox* RichTextBox13 = nullptr;
    QCalendarWidget* MonthView1 = nullptr;
    QCalendarWidget* MonthView2 = nullptr;
    RichTextBox* zabudnuté = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;

    // Picker k's value as a date-time value, and setting it from text as the watcher does.
    DateTimeValue pickerValue(int k) const;
    void setPickerValue(int k, DateTimeValue v);
    // The second the watcher checked last (seconds since 30 December 1899).
    qint64 lastCheck() const { return m_lastCheck; }
    bool isUnloaded() const { return m_unloaded; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void colourAction(const QString& file, quint32 colour, const QString& id);
    void showToolError(int number, const QString& description);
    void armTimer2();
    void armTimer3();
    void checkDueSlots(int changedSlot);
    void soundHeldSlots(qint64 current, int changedSlot);
    // A fired or deleted reminder gives up its time and note; the editor shows the blank note when
    // the slot's tab is current, so typing there cannot bring the old note back.
    void emptySlot(int k);
    static QString saveFailureText(const QStringList& failed);
    // Asked when files could not be saved on the way out: true to end all the same.
    bool endDespiteFailedSave(const QStringList& failed);
    void slotScheduleChanged(int k);
    void sampleSlotTime(int k);
    int currentSlot() const; // 1..12, or 0
    QDateTime now() const;

    HostServices m_host;
    BackgroundMode* m_background = nullptr;
    qint64 m_lastCheck = 0;
    qint64 m_todayStart = 0; // the midnight that begins the day the today display shows
    bool m_alertsHeld = false;
    qint64 m_heardUpTo = 0; // while held: the second up to which due slots have sounded
    bool m_loading = false;
    bool m_unloaded = false;
    bool m_unloadPending = false;
    bool m_inTick = false;
    bool m_settingsSaveFailed = false;
    bool m_terminating = false;
    QWidget* m_calendarDays = nullptr;
    bool m_selectionChangedSincePress = false; // the selection changed since the last press on the days
};
