// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/notificationarea.h"
#include "host/tray.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <memory>
#include <optional>

class QMenu;
class StatusNotifierItem;

// The notification-area icon, in the kind of the area that is there now: our own
// StatusNotifierItem where a StatusNotifierItem host is, Qt's XEmbed icon where only an XEmbed tray
// is; when the area goes, comes back or is replaced by one of the other kind, the icon follows.
class QtTrayIcon final : public QObject, public TrayIcon {
    Q_OBJECT
  public:
    QtTrayIcon();
    ~QtTrayIcon() override;
    bool notify(int message, const QIcon& icon, const QString& tooltip) override;
    void setMenu(QMenu* menu) override;
    void popUpMenu(QMenu* menu) override;
    bool areaPresent() const override;

    // What QSystemTrayIcon reports, as the icon's events (none for an unknown reason).
    static std::optional<Event> eventFor(QSystemTrayIcon::ActivationReason reason);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void follow();
    void makeXEmbedIcon();
    void report(Event event);

    NotificationAreaWatch m_watch;
    std::unique_ptr<StatusNotifierItem> m_item;
    std::unique_ptr<QSystemTrayIcon> m_xembed;
    bool m_shown = false;
    QIcon m_picture;
    QString m_tooltip;
    QPointer<QMenu> m_menu;
    bool m_waitingForRelease = false;
    QPointer<QMenu> m_open;
};

class QtTrayIconFactory final : public TrayIconFactory {
  public:
    std::unique_ptr<TrayIcon> create() override;
};
