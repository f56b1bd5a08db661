// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "slots/reminderslot.h"

#include <QLocale>
#include <QStringList>

// The twelve slots and where they are kept: the settings file (days and times) in the
// configuration folder, the note files in the data folder. Nothing reaches the disk until saved.
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
    // The notes, then the settings; the full paths of the files that could not be written.
    QStringList save();

    QString settingsPath() const;
    const QString& dataFolder() const { return m_dataFolder; }

  private:
    QString m_configFolder;
    QString m_dataFolder;
};
