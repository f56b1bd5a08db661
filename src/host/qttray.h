// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/tray.h"

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <optional>

class QMenu;

// The notification-area icon over QSystemTrayIcon (StatusNotifierItem or XEmbed).
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
    void report(Event event);

    QSystemTrayIcon m_icon;
    bool m_waitingForRelease = false;
    QPointer<QMenu> m_open;
    // The icon is a StatusNotifierItem: its host draws the menu from what the icon exports.
    bool m_statusNotifierItem = false;
};

class QtTrayIconFactory final : public TrayIconFactory {
  public:
    std::unique_ptr<TrayIcon> create() override;
};
