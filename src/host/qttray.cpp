// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/qttray.h"

#include "host/statusnotifieritem.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>

QtTrayIcon::QtTrayIcon() {
    connect(&m_watch, &NotificationAreaWatch::changed, this, [this] {
        follow();
        if (onAreaChanged)
            onAreaChanged();
    });
}

QtTrayIcon::~QtTrayIcon() {
    if (m_xembed)
        m_xembed->hide();
}

void QtTrayIcon::follow() {
    const NotificationAreaWatch::Kind kind = m_shown ? m_watch.kind() : NotificationAreaWatch::Kind::None;
    if (kind != NotificationAreaWatch::Kind::StatusNotifierHost)
        m_item.reset();
    if (kind != NotificationAreaWatch::Kind::XEmbedTray && m_xembed) {
        if (m_open)
            m_open->close();
        m_xembed->hide();
        m_xembed.reset();
    }
    if (kind == NotificationAreaWatch::Kind::StatusNotifierHost) {
        if (!m_item) {
            m_item = std::make_unique<StatusNotifierItem>();
            m_item->onEvent = [this](Event event) { report(event); };
            m_item->setMenu(m_menu);
        }
        m_item->setIcon(m_picture);
        m_item->setToolTip(m_tooltip);
    } else if (kind == NotificationAreaWatch::Kind::XEmbedTray) {
        makeXEmbedIcon();
    }
}

void QtTrayIcon::makeXEmbedIcon() {
    if (!m_xembed) {
        // Qt makes a StatusNotifierItem of its own, for good, when a host is registered as its first
        // icon is made; a host that came a moment ago is followed by its own change instead.
        if (NotificationAreaWatch::statusNotifierHostRegisteredNow())
            return;
        m_xembed = std::make_unique<QSystemTrayIcon>();
        connect(m_xembed.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    // XEmbed reports the right button on its press. Opening the menu there would take the
                    // release away from the icon, and Qt would then swallow the icon's next press; so the
                    // request waits for the button to come up, as the menu opens on the release anyway.
                    if (reason == QSystemTrayIcon::Context &&
                        (QGuiApplication::mouseButtons() & Qt::RightButton)) {
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
    m_xembed->setIcon(m_picture);
    if (m_xembed->toolTip() != m_tooltip)
        m_xembed->setToolTip(m_tooltip);
    m_xembed->show();
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
        m_shown = true;
        m_picture = icon;
        m_tooltip = tooltip;
        follow();
        return areaPresent();
    case Modify:
        if (!m_shown)
            return false;
        m_picture = icon;
        m_tooltip = tooltip;
        // Only what changed reaches the notification area; the flashing changes the picture alone.
        if (m_item) {
            m_item->setIcon(icon);
            m_item->setToolTip(tooltip);
        } else if (m_xembed) {
            m_xembed->setIcon(icon);
            if (m_xembed->toolTip() != tooltip)
                m_xembed->setToolTip(tooltip);
        }
        return true;
    case Delete:
        m_shown = false;
        follow();
        return true;
    default:
        return false;
    }
}

void QtTrayIcon::setMenu(QMenu* menu) {
    // A StatusNotifierItem host draws the menu from what the item exports. The XEmbed icon gets no
    // context menu: it would pop it up by itself on the press, and there the owner decides from the
    // events when the menu opens.
    m_menu = menu;
    if (m_item)
        m_item->setMenu(menu);
}

bool QtTrayIcon::areaPresent() const {
    return m_watch.kind() != NotificationAreaWatch::Kind::None;
}

void QtTrayIcon::popUpMenu(QMenu* menu) {
    // On a StatusNotifierItem host the panel opens the exported menu itself.
    if (!m_xembed || !menu || menu->isVisible())
        return;
    m_open = menu;
    // Not exec(): a command may remove this very icon, which must not happen under its own
    // event handler.
    menu->popup(QCursor::pos());
}

std::unique_ptr<TrayIcon> QtTrayIconFactory::create() {
    return std::make_unique<QtTrayIcon>();
}
