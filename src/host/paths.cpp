// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/paths.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString xdgDir(const char* variable, const char* fallbackUnderHome) {
    const QString value = qEnvironmentVariable(variable);
    // The base directory specification says relative paths are invalid and must be ignored.
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + QLatin1Char('/') + QLatin1String(fallbackUnderHome));
}
} // namespace

namespace Paths {
QString configHome() {
    return xdgDir("XDG_CONFIG_HOME", ".config");
}
QString configDir() {
    return configHome() + QStringLiteral("/pripomin");
}
QString dataDir() {
    return xdgDir("XDG_DATA_HOME", ".local/share") + QStringLiteral("/pripomin");
}
QString executableFolder() {
    return QCoreApplication::applicationDirPath();
}
} // namespace Paths
