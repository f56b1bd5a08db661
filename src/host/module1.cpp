// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/module1.h"

#include "host/inifile.h"
#include "host/paths.h"

namespace Module1 {

QString settingsPath(const QString& file) {
    if (file.contains(QLatin1Char('/')))
        return file;
    return Paths::configDir() + QLatin1Char('/') + file;
}

QString čítajini(const QString& section, const QString& key, const QString& defaultValue,
                 const QString& file) {
    const auto value = IniFile::read(settingsPath(file), section, key);
    return value ? *value : defaultValue.left(127);
}

bool zapíšini(const QString& section, const QString& key, const QString& value, const QString& file) {
    return IniFile::write(settingsPath(file), section, key, value);
}

QString čítajhodnotu(RegistryRoot root, const QString& subkey, const QString& valueName,
                     const QString& autostartFolder) {
    static const QString shellFolders =
        QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    QString key = subkey;
    while (key.endsWith(QLatin1Char('\\')))
        key.chop(1);
    if (root == RegistryRoot::CurrentUser && key.compare(shellFolders, Qt::CaseInsensitive) == 0 &&
        valueName.compare(QLatin1String("Startup"), Qt::CaseInsensitive) == 0) {
        // The desktop's autostart folder plays the part of the Startup folder.
        return autostartFolder;
    }
    return QString::fromUtf8(kMissingValue);
}

} // namespace Module1
