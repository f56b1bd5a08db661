// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The shared service procedures every window uses: settings values and the one registry value.
namespace Module1 {
// A bare file name ("PM002.INI") lives in the configuration folder; a path is used as given.
QString settingsPath(const QString& file);

QString čítajini(const QString& section, const QString& key, const QString& defaultValue,
                 const QString& file);
// Returns whether the value reached the disk; the callers of old ignored it, the program does not.
bool zapíšini(const QString& section, const QString& key, const QString& value, const QString& file);

enum class RegistryRoot { CurrentUser, LocalMachine };
inline constexpr auto kMissingValue = "Hodnota kľúča neexistuje!";
// Answers the current user's "Startup" shell folder with the autostart folder given (on the
// desktop, $XDG_CONFIG_HOME/autostart); every other key or value is missing.
QString čítajhodnotu(RegistryRoot root, const QString& subkey, const QString& valueName,
                     const QString& autostartFolder);
} // namespace Module1
