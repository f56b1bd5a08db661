// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/notificationarea.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

QDBusMessage hostRegisteredQuestion() {
    QDBusMessage question = QDBusMessage::createMethodCall(
        kWatcher, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    question << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
    return question;
}

xcb_atom_t atom(xcb_connection_t* c, const QByteArray& name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}
} // namespace

// A connection of its own: the event masks chosen on the root window and the tray's window then
// never touch the ones Qt's connection keeps there.
struct NotificationAreaWatch::X {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = XCB_NONE;
    xcb_atom_t selection = XCB_ATOM_NONE;
    xcb_atom_t manager = XCB_ATOM_NONE;
    xcb_window_t owner = XCB_NONE;
    QSocketNotifier* notifier = nullptr;
    ~X() {
        delete notifier;
        if (connection)
            xcb_disconnect(connection);
    }
};

NotificationAreaWatch::NotificationAreaWatch() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        auto* owner = new QDBusServiceWatcher(kWatcher, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this, &NotificationAreaWatch::askWatcher);
        // A host that comes or goes at a watcher that stays (Plasma's shell restarting under kded).
        for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
            bus.connect(kWatcher, kWatcherPath, kWatcher, QLatin1String(signal), this, SLOT(askWatcher()));
        m_statusNotifierHost = statusNotifierHostRegisteredNow();
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        watchTraySelection();
}

NotificationAreaWatch::~NotificationAreaWatch() = default;

NotificationAreaWatch::Kind NotificationAreaWatch::kind() const {
    if (m_statusNotifierHost)
        return Kind::StatusNotifierHost;
    if (m_x && m_x->owner != XCB_NONE)
        return Kind::XEmbedTray;
    return Kind::None;
}

bool NotificationAreaWatch::statusNotifierHostRegisteredNow() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kWatcher))
        return false;
    // A watcher that hangs must not hold the program's start for long.
    const QDBusMessage answer = bus.call(hostRegisteredQuestion(), QDBus::Block, 2000);
    return answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty() &&
           answer.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

void NotificationAreaWatch::askWatcher() {
    auto* pending =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(hostRegisteredQuestion()), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QDBusVariant> reply = *call;
        // No watcher on the bus answers with an error: no host.
        setStatusNotifierHost(!reply.isError() && reply.value().variant().toBool());
        call->deleteLater();
    });
}

void NotificationAreaWatch::setStatusNotifierHost(bool registered) {
    if (registered == m_statusNotifierHost)
        return;
    m_statusNotifierHost = registered;
    Q_EMIT changed();
}

void NotificationAreaWatch::watchTraySelection() {
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    m_x = std::make_unique<X>();
    m_x->connection = connection;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && it.rem; ++i)
        xcb_screen_next(&it);
    m_x->root = it.data->root;
    m_x->selection = atom(connection, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen));
    m_x->manager = atom(connection, "MANAGER");
    // A new tray announces itself to the root window with a MANAGER message.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, m_x->root, XCB_CW_EVENT_MASK, &mask);
    followTrayOwner();
    m_x->notifier = new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read);
    connect(m_x->notifier, &QSocketNotifier::activated, this, &NotificationAreaWatch::readXEvents);
}

void NotificationAreaWatch::followTrayOwner() {
    xcb_connection_t* c = m_x->connection;
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_x->selection), nullptr);
    const xcb_window_t owner = reply ? reply->owner : xcb_window_t(XCB_NONE);
    std::free(reply);
    if (owner != XCB_NONE) {
        // Its window's end is the tray's end.
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, owner, XCB_CW_EVENT_MASK, &mask);
    }
    xcb_flush(c);
    if (owner == m_x->owner)
        return;
    m_x->owner = owner;
    Q_EMIT changed();
}

void NotificationAreaWatch::readXEvents() {
    bool recheck = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_x->connection)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CLIENT_MESSAGE) {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            recheck |= message->type == m_x->manager && message->data.data32[1] == m_x->selection;
        } else if (type == XCB_DESTROY_NOTIFY) {
            recheck |= reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == m_x->owner;
        }
        std::free(event);
    }
    if (xcb_connection_has_error(m_x->connection)) {
        // The display went away: no tray there any more, and nothing more to read.
        m_x->notifier->setEnabled(false);
        if (m_x->owner != XCB_NONE) {
            m_x->owner = XCB_NONE;
            Q_EMIT changed();
        }
        return;
    }
    if (recheck)
        followTrayOwner();
}
