#pragma once

#include "host/tray.h"

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

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

    // Turns what QSystemTrayIcon reports into the classic mouse codes, in the order they happen.
    static QList<int> codesFor(QSystemTrayIcon::ActivationReason reason);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void report(int code);

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
