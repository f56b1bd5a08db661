// SPDX-License-Identifier: GPL-3.0-or-later
#include "slots/slotstore.h"

#include "slots/notefiles.h"
#include "slots/settingsfile.h"

#include <QDir>

namespace {
bool sameEntries(const QList<IniFile::Entry>& a, const QList<IniFile::Entry>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.section == y.section && x.key == y.key && x.value == y.value;
    });
}
} // namespace

SlotStore::SlotStore(QString configFolder, QString dataFolder)
    : m_configFolder(std::move(configFolder)), m_dataFolder(std::move(dataFolder)) {}

QString SlotStore::settingsPath() const {
    return QDir(m_configFolder).filePath(QString::fromLatin1(SettingsFile::kName));
}

bool SlotStore::loadSettings(const QLocale& locale) {
    m_settingsLoaded = SettingsFile::load(slots, settingsPath(), locale);
    return m_settingsLoaded;
}

void SlotStore::loadNotes() {
    NoteFiles::removeLeftovers(m_dataFolder);
    NoteFiles::load(slots, m_dataFolder);
}

void SlotStore::takeAsSaved(const QLocale& locale) {
    for (int k = 1; k <= kSlotCount; ++k)
        m_notesOnDisk[std::size_t(k - 1)] = slots[k].note;
    // Without a settings file that gave the slots, the first save writes one.
    if (m_settingsLoaded)
        m_settingsOnDisk = SettingsFile::entries(slots, locale);
}

SlotTable SlotStore::toSave() {
    SlotTable table = slots;
    for (int k = 1; k <= kSlotCount; ++k) {
        std::optional<Kept>& kept = m_kept[std::size_t(k - 1)];
        if (!kept)
            continue;
        if (slots[k] == kept->fired)
            table[k] = kept->beforeFiring;
        else
            kept.reset(); // the user has given the slot something new
    }
    return table;
}

bool SlotStore::writeSettings(const SlotTable& table, const QLocale& locale) {
    QList<IniFile::Entry> entries = SettingsFile::entries(table, locale);
    const bool ok = IniFile::write(settingsPath(), entries);
    m_settingsOnDisk = ok ? std::optional(std::move(entries)) : std::nullopt;
    return ok;
}

bool SlotStore::writeNote(const SlotTable& table, int k) {
    const bool ok = NoteFiles::save(m_dataFolder, k, table[k].note);
    m_notesOnDisk[std::size_t(k - 1)] = ok ? std::optional(table[k].note) : std::nullopt;
    return ok;
}

bool SlotStore::saveSettings(const QLocale& locale) {
    return writeSettings(toSave(), locale);
}

QStringList SlotStore::save(const QLocale& locale) {
    const SlotTable table = toSave();
    QStringList failed;
    for (int k = 1; k <= kSlotCount; ++k)
        if (!writeNote(table, k))
            failed << NoteFiles::path(m_dataFolder, k);
    if (!writeSettings(table, locale))
        failed.prepend(settingsPath());
    return failed;
}

QStringList SlotStore::saveChanges(const QLocale& locale) {
    const SlotTable table = toSave();
    QStringList failed;
    for (int k = 1; k <= kSlotCount; ++k)
        if (m_notesOnDisk[std::size_t(k - 1)] != table[k].note && !writeNote(table, k))
            failed << NoteFiles::path(m_dataFolder, k);
    const bool settingsChanged =
        !m_settingsOnDisk || !sameEntries(*m_settingsOnDisk, SettingsFile::entries(table, locale));
    if (settingsChanged && !writeSettings(table, locale))
        failed.prepend(settingsPath());
    return failed;
}

void SlotStore::keepUntilConfirmed(int k, const ReminderSlot& beforeFiring) {
    std::optional<Kept>& kept = m_kept[std::size_t(k - 1)];
    // Fired again before the first alert was confirmed: the disk keeps the first reminder.
    if (!kept || slots[k] != kept->fired)
        kept = Kept{beforeFiring, slots[k]};
}

void SlotStore::confirmed(int k) {
    m_kept[std::size_t(k - 1)].reset();
}
