// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/inifile.h"
#include "slots/reminderslot.h"

#include <QLocale>

// The settings file "PM002.INI": section "Pripomin" with "Run" and "Aktivácia", sections
// "DAT1" … "DAT12" with "Dátum" and "Čas".
namespace SettingsFile {
inline constexpr auto kName = "PM002.INI";
inline constexpr auto kMissing = "Error";

QString section(int k); // "DAT" + k

// "Run" = "1" and every slot's date and time, as they are written.
QList<IniFile::Entry> entries(const SlotTable& slots, const QLocale& locale = QLocale());
// Writes "Run" = "1" and every slot's date and time into the file at `path`. False when any value
// did not reach the disk.
bool save(const SlotTable& slots, const QString& path, const QLocale& locale = QLocale());
// When "Run" is exactly "1", fills every slot's date and time and returns true. A date that cannot
// be read gives no date, a time that cannot be read gives midnight.
bool load(SlotTable& slots, const QString& path, const QLocale& locale = QLocale());
} // namespace SettingsFile
