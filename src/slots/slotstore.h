// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/inifile.h"
#include "slots/reminderslot.h"

#include <QLocale>
#include <QStringList>
#include <array>
#include <optional>

// The twelve slots and where they are kept: the settings file (days and times) in the
// configuration folder, the note files in the data folder. The store remembers what the disk holds,
// so that a save after a change writes only the files that change.
class SlotStore {
  public:
    SlotStore(QString configFolder, QString dataFolder);

    SlotTable slots;

    // Days and times, when the settings file's run marker is set; false (slots untouched) otherwise.
    bool loadSettings(const QLocale& locale = QLocale());
    // False when the file could not be written.
    bool saveSettings(const QLocale& locale = QLocale());
    // The notes; what a save cut short left beside them is removed first.
    void loadNotes();
    // The notes, then the settings, all of them; the full paths of the files that could not be written.
    QStringList save(const QLocale& locale = QLocale());
    // Only the files whose content differs from what the disk holds; the full paths of those that
    // could not be written (they are tried again at the next save).
    QStringList saveChanges(const QLocale& locale = QLocale());
    // The disk holds the slots as they are now (after loading: nothing needs writing yet).
    void takeAsSaved(const QLocale& locale = QLocale());

    // A fired reminder stays on disk as it was before firing until its alert has been confirmed:
    // a program that ends before that brings it back at the next start as a missed reminder. A
    // change the user makes to the slot meanwhile is saved as usual and ends the hold.
    void keepUntilConfirmed(int k, const ReminderSlot& beforeFiring);
    void confirmed(int k);
    bool isKeptUntilConfirmed(int k) const { return m_kept[std::size_t(k - 1)].has_value(); }

    QString settingsPath() const;
    const QString& dataFolder() const { return m_dataFolder; }

  private:
    struct Kept {
        ReminderSlot beforeFiring, fired;
    };
    // What the files are to hold: the slots, except those still waiting for their confirmation.
    SlotTable toSave();
    bool writeSettings(const SlotTable& table, const QLocale& locale);
    bool writeNote(const SlotTable& table, int k);

    QString m_configFolder;
    QString m_dataFolder;
    std::array<std::optional<Kept>, kSlotCount> m_kept{};
    // What the files hold as far as this process knows; nullopt when unknown or after a failure.
    std::array<std::optional<QString>, kSlotCount> m_notesOnDisk{};
    std::optional<QList<IniFile::Entry>> m_settingsOnDisk;
    bool m_settingsLoaded = false;
};
