// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/displayconnection.h"

#include <QByteArray>
#include <QIcon>
#include <QtGlobal>

namespace {
bool g_platformChosenHere = false;
}

void DisplayConnection::prepare() {
    // With shared-memory images, every repaint of a window waits for the X server to finish with
    // the previous one: a round trip and two thread wake-ups for each change of the flashing tray
    // icon, all day long. The program's windows are small, so sending their pictures over the
    // socket costs less. The user's own choice stands.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", QByteArrayLiteral("1"));

    // On a Wayland desktop an X server (XWayland) is preferred where there is one: only X11 lets a
    // window keep its outline, open at a place of its own and hold the keyboard. Wayland remains
    // the fallback when that server cannot be reached. The user's own choice stands.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb;wayland"));
        g_platformChosenHere = true;
    }
}

void DisplayConnection::made() {
    if (g_platformChosenHere)
        qunsetenv("QT_QPA_PLATFORM");
    g_platformChosenHere = false;
    limitIconLookups();
}

void DisplayConnection::limitIconLookups() {
    // Without a theme of the desktop's, Qt searches the freedesktop base theme "hicolor", which
    // holds programs' own icons and none of the arrows, buttons and dialog pictures the styles ask
    // for. Each first lookup there reads the theme's index of several hundred folders (most of
    // what a calendar costs to make) and ends with the style's own picture all the same.
    const QString base = QStringLiteral("hicolor");
    if (QIcon::themeName() == base && QIcon::fallbackThemeName() == base)
        QIcon::setThemeSearchPaths({QStringLiteral(":/icons")});
}
