// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forgotten/forgottenbox.h"
#include "host/hostservices.h"

#include <functional>

class QCalendarWidget;
class QTabWidget;
class QWidget;
class RichTextBox;
class SlotSchedule;
class SlotTable;
class ToolBarControl;

// Forgotten reminders: found once at start, asked about, then deleted, shown in the main window's
// forgotten-reminder view, or left for the next start.
class ForgottenView {
  public:
    // The main window's controls the view switches between and writes.
    struct Controls {
        QWidget* window = nullptr;
        ToolBarControl* toolbar = nullptr;    // Lišta1
        QTabWidget* tabs = nullptr;           // SSTab1
        RichTextBox* editor = nullptr;        // RichTextBox1
        RichTextBox* clock = nullptr;         // RichTextBox13
        QCalendarWidget* dateEntry = nullptr; // MonthView1
        QCalendarWidget* calendar = nullptr;  // MonthView2
        RichTextBox* note = nullptr;          // zabudnuté
    };
    // `removeSlot` deletes a slot's reminder: its date, time and note. `needControls` gives the view
    // its controls (setControls) when it has reminders to show and none yet.
    ForgottenView(const HostServices& host, const SlotTable& slots, const SlotSchedule& schedule,
                  std::function<void(int)> removeSlot, std::function<void()> needControls);

    const ForgottenBox& box() const { return forgottenBox; }

    // The window's controls, made when it is first shown or when a forgotten reminder needs them;
    // the list shows what was found meanwhile.
    void setControls(Controls controls);

    // Looks for the slots the watcher will not fire (`watchedFrom`: its first second), lists them
    // and asks what to do.
    void zistizabudnuté(qint64 watchedFrom);
    // Deletes the reminders the user was asked about, where still forgotten.
    void vymažzabudnuté();
    // Switches the window to the forgotten-reminder view.
    void ukažodkaz();
    void popisikony();
    void skryikony();
    // The icon of slot k: its note in the view.
    void showEntry(int k);
    // Back to the editor.
    void returnToEditor();

  private:
    void showList();

    const HostServices& m_host;
    Controls m_c;
    const SlotTable& m_slots;
    const SlotSchedule& m_schedule;
    std::function<void(int)> m_removeSlot;
    std::function<void()> m_needControls;
    ForgottenBox forgottenBox;
};
