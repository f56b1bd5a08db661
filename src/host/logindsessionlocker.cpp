// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/sessionlocker.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");
} // namespace

bool LogindSessionLocker::isWaylandSession() const {
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void LogindSessionLocker::lockSession() {
    // The session the program runs in: the one its environment names, else logind's "auto", which
    // is the caller's session (or the user's graphical one).
    QString id = qEnvironmentVariable("XDG_SESSION_ID");
    if (id.isEmpty())
        id = QStringLiteral("auto");
    auto find = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/login1"),
                                               QStringLiteral("org.freedesktop.login1.Manager"),
                                               QStringLiteral("GetSession"));
    find << id;
    // Asynchronous: the tray menu returns at once and the program keeps ticking while logind answers.
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(find));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        w->deleteLater();
        if (reply.isError()) {
            qWarning("pripomin: no session to lock: %s", qPrintable(reply.error().message()));
            return;
        }
        auto lock = QDBusMessage::createMethodCall(kService, reply.value().path(),
                                                   QStringLiteral("org.freedesktop.login1.Session"),
                                                   QStringLiteral("Lock"));
        QDBusConnection::systemBus().call(lock, QDBus::NoBlock);
    });
}
