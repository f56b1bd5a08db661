// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/qttray.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QMouseEvent>
#include <QMenu>

namespace {
// Qt chooses between a StatusNotifierItem and an XEmbed icon once, when the first icon is made,
// by asking whether a StatusNotifierHost is registered; the same question asked at the same moment
// tells which of the two this process got.
bool statusNotifierHostRegistered() {
    static const bool registered = [] {
        const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(watcher))
            return false;
        QDBusInterface properties(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
        return properties.property("IsStatusNotifierHostRegistered").toBool();
    }();
    return registered;
}
} // namespace

QtTrayIcon::QtTrayIcon() : m_statusNotifierItem(statusNotifierHostRegistered()) {
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // XEmbed reports the right button on its press. Opening the menu there would take the
        // release away from the icon, and Qt would then swallow the icon's next press; so the
        // request waits for the button to come up, as the menu opens on the release anyway.
        if (reason == QSystemTrayIcon::Context && (QGuiApplication::mouseButtons() & Qt::RightButton)) {
            if (!m_waitingForRelease) {
                m_waitingForRelease = true;
                qApp->installEventFilter(this);
            }
            return;
        }
        if (const auto event = eventFor(reason))
            report(*event);
    });
}

void QtTrayIcon::report(Event event) {
    if (onEvent)
        onEvent(event);
}

bool QtTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (m_waitingForRelease && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        m_waitingForRelease = false;
        qApp->removeEventFilter(this);
        // After the release has been handled, so the icon sees it first.
        QMetaObject::invokeMethod(
            this, [this] { report(Event::MenuRequested); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

QtTrayIcon::~QtTrayIcon() {
    m_icon.hide();
}

std::optional<TrayIcon::Event> QtTrayIcon::eventFor(QSystemTrayIcon::ActivationReason reason) {
    // Backends report the right button once per click, on the press (XEmbed) or on the release
    // (StatusNotifierItem): either way it stands for a whole press and release.
    switch (reason) {
    case QSystemTrayIcon::Context:
        return Event::MenuRequested;
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::MiddleClick:
        return Event::Activated;
    default:
        return std::nullopt;
    }
}

bool QtTrayIcon::notify(int message, const QIcon& icon, const QString& tooltip) {
    switch (message) {
    case Add:
        m_icon.setIcon(icon);
        m_icon.setToolTip(tooltip);
        m_icon.show();
        return QSystemTrayIcon::isSystemTrayAvailable();
    case Modify:
        if (!m_icon.isVisible())
            return false;
        m_icon.setIcon(icon);
        // Only what changed reaches the notification area; the flashing changes the picture alone.
        if (m_icon.toolTip() != tooltip)
            m_icon.setToolTip(tooltip);
        return true;
    case Delete:
        if (m_open)
            m_open->close();
        m_icon.hide();
        return true;
    default:
        return false;
    }
}

void QtTrayIcon::setMenu(QMenu* menu) {
    // An XEmbed icon given a context menu would pop it up by itself on the press; there the owner
    // decides from the codes when the menu opens. A StatusNotifierItem without one exports no menu,
    // and its host then shows nothing of ours.
    if (m_statusNotifierItem)
        m_icon.setContextMenu(menu);
}

bool QtTrayIcon::areaPresent() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::popUpMenu(QMenu* menu) {
    // On a StatusNotifierItem host the panel opens the exported menu itself.
    if (m_statusNotifierItem || !menu || menu->isVisible())
        return;
    m_open = menu;
    // Not exec(): a command may remove this very icon, which must not happen under its own
    // event handler.
    menu->popup(QCursor::pos());
}

std::unique_ptr<TrayIcon> QtTrayIconFactory::create() {
    return std::make_unique<QtTrayIcon>();
}
