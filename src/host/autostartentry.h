// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The desktop entry that starts the program at logon, in the folder that plays the Startup folder.
namespace AutostartEntry {
inline constexpr auto kFileName = "Pripomin.desktop";
inline constexpr auto kDescription = "Pripomin";

// The entry's text for an executable at an absolute path, escaped as desktop entries require.
QString content(const QString& executable);
// Writes the entry atomically, replacing one that is there. Throws RunTimeError when the folder
// cannot be used or the file cannot be written.
void write(const QString& startupFolder, const QString& executable);
// Removes the entry, also when it is read-only. False when it could not be removed.
bool remove(const QString& startupFolder);
} // namespace AutostartEntry
