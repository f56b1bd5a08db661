// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/autostartentry.h"

#include "host/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {
// Escapes of a string value in a desktop entry.
QString escapeValue(const QString& text) {
    QString out;
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// One quoted argument of Exec: inside quotes '"', '`', '$' and '\' take a backslash, and a
// literal '%' is doubled so it is not read as a field code.
QString quoteExecArgument(const QString& argument) {
    QString quoted = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}
} // namespace

namespace AutostartEntry {

QString content(const QString& executable) {
    // TryExec is a plain path, not a command line: quotes there would never name a file and the
    // session would skip the entry. Plasma and LXQt hold a tray program's start until their panel
    // is up when told so; elsewhere the program waits for a notification area itself.
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Comment=%1\n"
                          "Exec=%2\n"
                          "TryExec=%3\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n"
                          "X-KDE-autostart-after=panel\n"
                          "X-LXQt-Need-Tray=true\n")
        .arg(QLatin1String(kDescription), escapeValue(quoteExecArgument(executable)),
             escapeValue(executable));
}

void write(const QString& startupFolder, const QString& executable) {
    if (!QDir::isAbsolutePath(startupFolder))
        throw RunTimeError::pathNotFound(startupFolder);
    // A fresh account often has no autostart folder yet.
    if (!QDir().mkpath(startupFolder))
        throw RunTimeError::pathNotFound(startupFolder);
    const QString path = startupFolder + QLatin1Char('/') + QLatin1String(kFileName);
    // A read-only entry left from before is replaced all the same.
    if (QFile::exists(path))
        QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RunTimeError::pathFileAccess(path);
    file.write(content(executable).toUtf8());
    if (!file.commit())
        throw RunTimeError::pathFileAccess(path);
}

bool remove(const QString& startupFolder) {
    const QString path = startupFolder + QLatin1Char('/') + QLatin1String(kFileName);
    QFile file(path);
    if (!file.exists())
        return false;
    file.setPermissions(file.permissions() | QFile::WriteOwner);
    return file.remove();
}

} // namespace AutostartEntry
