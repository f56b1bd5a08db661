// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/shutdown.h"

#include <QDBusConnection>
#include <QDBusMessage>

void LogindShutdown::powerOff() {
    auto call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << true; // interactive: let the user's session policy decide
    // Fire and forget: the answer is not examined.
    QDBusConnection::systemBus().call(call, QDBus::NoBlock);
}
