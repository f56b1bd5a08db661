// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void DesktopShell::open(const QString& path) {
    // A missing file shows nothing, as the help command has always done.
    if (QFileInfo::exists(path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
