// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alerts/watcher.h"
#include "app/mainwindowcontrols.h"
#include "editor/noteformatting.h"
#include "forgotten/forgottenview.h"
#include "host/hostservices.h"
#include "slots/slotstore.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

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
// the program ends. Its controls are made when it is first shown (or a forgotten reminder is to be
// shown): until then the pickers' times, the tab captions and the current tab are kept here, and
// a program that only waits in the background costs no more than a bare tray program.
class MainWindow : public QWidget, private SlotSchedule {
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
    SlotTable& slots() { return m_store.slots; }
    void uložnastavenia();
    void načítajnastavenia();
    void načítajtexty();
    void uložtexty();
    // Writes the notes and the settings; gives the full paths of the files that could not be written.
    QStringList saveSlots();
    // A change of the slots reaches the disk within a second: the files that changed are written
    // then, at most once a second however fast the changes come, and never while nothing changes.
    void saveSoon();
    // The alert of a fired reminder has been confirmed: from now on the disk holds it as fired.
    void alertConfirmed(int k);

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

    // The watcher of the slots, running from the end of the load until the program ends.
    Watcher& watcher() { return *m_watcher; }
    // While the screen is locked no reminder is taken from its slot: one falling due only sounds,
    // and the unlock fires it as after a jump of the clock. A program ended meanwhile saves the
    // slot as it was, so nothing is lost.
    void setAlertsHeld(bool held);

    // Forgotten reminders found at start.
    const ForgottenBox& forgottenBox() const { return m_forgotten.box(); }

    // Background mode (wired by the application).
    void aktivácia();
    void deaktivácia();
    void setBackgroundMode(BackgroundMode* mode) { m_background = mode; }
    // Opens slot k's alert with the note taken at the tick; the application queues it.
    std::function<void(int slot, const QString& note)> openAlert;
    // Runs after the closing path saved everything (the application quits there).
    std::function<void()> onUnloaded;

    // Picker k's value as a date-time value, and setting it from text as the watcher does.
    DateTimeValue pickerValue(int k) const;
    void setPickerValue(int k, DateTimeValue v);
    bool isUnloaded() const { return m_unloaded; }

    // Makes the controls now, showing what the window holds; showing the window does this.
    void buildControls();
    bool controlsBuilt() const { return m_ui.SSTab1 != nullptr; }
    void setVisible(bool visible) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void wireControls();
    void wireWidgets();
    void prepareWidgets();
    void setCurrentTab(int index);
    void setTabCaption(int index, const QString& text);
    void showToolError(int number, const QString& description);
    void armTimer2();
    DateTimeValue slotDate(int k) const override { return m_store.slots[k].date; }
    DateTimeValue slotTime(int k) const override { return pickerValue(k); }
    // Slot k fell due: its note goes to its alert, the slot gives up its time and note.
    void fireSlot(int k);
    // A fired or deleted reminder gives up its time and note; the editor shows the blank note when
    // the slot's tab is current, so typing there cannot bring the old note back.
    void emptySlot(int k);
    static QString saveFailureText(const QStringList& failed);
    // Asked when files could not be saved on the way out: true to end all the same.
    bool endDespiteFailedSave(const QStringList& failed);
    void sampleSlotTime(int k);
    void sampleSlotTimes();
    // Shows a note in the editor without taking it back as the slot's: viewing changes nothing.
    void showNote(const QString& rtf);
    void saveChanges();
    void tellUnsaved(const QStringList& failed);
    int currentSlot() const; // 1..12, or 0
    QDateTime now() const;

    HostServices m_host;
    SlotStore m_store;
    MainWindowControls m_ui;
    QTimer* Timer2 = nullptr;
    QTimer* m_saveTimer = nullptr;
    bool m_saveFailureTold = false; // told once, until a save succeeds again
    bool m_showingNote = false;
    // What the controls show, also while they are not made.
    std::array<DateTimeValue, kSlotCount> m_pickerValues;
    std::array<QString, kSlotCount> m_tabCaptions;
    int m_currentTab = 0;
    QString m_legend;
    std::unique_ptr<NoteFormatting> m_formatting;
    QHash<QString, std::function<void()>> m_toolActions; // the toolbar's tools by id
    BackgroundMode* m_background = nullptr;
    Watcher* m_watcher = nullptr;
    ForgottenView m_forgotten;
    bool m_loading = false;
    bool m_unloaded = false;
    bool m_unloadPending = false;
    bool m_terminating = false;
    QWidget* m_calendarDays = nullptr;
    bool m_selectionChangedSincePress = false; // the selection changed since the last press on the days
};
