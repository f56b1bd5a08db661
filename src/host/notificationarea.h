// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

// Which notification area the desktop offers now, followed as areas come and go: a
// StatusNotifierItem host behind org.kde.StatusNotifierWatcher on the session bus, or an XEmbed tray
// (the owner of the X selection _NET_SYSTEM_TRAY_S<screen>). Both are followed by events only,
// so watching costs no wake-ups while nothing changes.
class NotificationAreaWatch final : public QObject {
    Q_OBJECT
  public:
    enum class Kind { None, StatusNotifierHost, XEmbedTray };
    NotificationAreaWatch();
    ~NotificationAreaWatch() override;

    // A StatusNotifierItem host wins where a panel offers both, as it shows the tooltip and draws
    // the menu itself.
    Kind kind() const;
    // Asked of the bus at this moment, blocking: what Qt asks when it makes a tray icon.
    static bool statusNotifierHostRegisteredNow();

  Q_SIGNALS:
    void changed();

  private Q_SLOTS:
    void askWatcher();

  private:
    void setStatusNotifierHost(bool registered);
    void watchTraySelection();
    void readXEvents();
    void followTrayOwner();

    bool m_statusNotifierHost = false;
    struct X;
    std::unique_ptr<X> m_x;
};
