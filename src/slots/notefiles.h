// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "slots/reminderslot.h"

#include <QStringList>

// The note files "Dat1.RTF" … "Dat12.RTF" in the data folder.
namespace NoteFiles {
QString fileName(int k); // "Dat" + k + ".RTF"
QString path(const QString& folder, int k);

// Reads each file on its own: a missing or unreadable file leaves that slot's note empty.
// The line end the writer appends is dropped again.
void load(SlotTable& slots, const QString& folder);
// Replaces slot k's file atomically with the note (owner-only permissions). False when it could not.
bool save(const QString& folder, int k, const QString& note);
// Replaces each file atomically (owner-only permissions); tries all twelve and returns the names
// of the files that could not be written.
QStringList save(const SlotTable& slots, const QString& folder);
// Removes what a save cut short left behind: the temporary files of an interrupted replacement.
// Only names a save makes are touched ("Dat7.RTF.aB3xYz").
void removeLeftovers(const QString& folder);
} // namespace NoteFiles
