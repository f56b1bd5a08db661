// SPDX-License-Identifier: GPL-3.0-or-later
#include "slots/slotstore.h"

#include "slots/notefiles.h"
#include "slots/settingsfile.h"

#include <QDir>

SlotStore::SlotStore(QString configFolder, QString dataFolder)
    : m_configFolder(std::move(configFolder)), m_dataFolder(std::move(dataFolder)) {}

QString SlotStore::settingsPath() const {
    return QDir(m_configFolder).filePath(QString::fromLatin1(SettingsFile::kName));
}

bool SlotStore::loadSettings(const QLocale& locale) {
    return SettingsFile::load(slots, settingsPath(), locale);
}

bool SlotStore::saveSettings(const QLocale& locale) {
    return SettingsFile::save(slots, settingsPath(), locale);
}

void SlotStore::loadNotes() {
    NoteFiles::removeLeftovers(m_dataFolder);
    NoteFiles::load(slots, m_dataFolder);
}

QStringList SlotStore::save() {
    const QDir notes(m_dataFolder);
    QStringList failed;
    for (const QString& name : NoteFiles::save(slots, m_dataFolder))
        failed << notes.filePath(name);
    if (!saveSettings())
        failed.prepend(settingsPath());
    return failed;
}
