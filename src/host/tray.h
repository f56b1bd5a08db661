// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>
#include <functional>
#include <memory>

class QMenu;

// One icon in the notification area.
class TrayIcon {
  public:
    enum Message { Add = 0, Modify = 1, Delete = 2 };
    // What the user did to the icon: asked for its menu (the right button, once per click), or
    // activated it (a left, double or middle click).
    enum class Event { MenuRequested, Activated };
    virtual ~TrayIcon() = default;
    // Sends the record to the notification area; the result is not examined by callers.
    virtual bool notify(int message, const QIcon& icon, const QString& tooltip) = 0;
    // The menu a notification area shows by itself (StatusNotifierItem hosts draw it from what the
    // icon exports); where the area leaves menus to the program, popUpMenu opens it instead.
    virtual void setMenu(QMenu* menu) = 0;
    virtual void popUpMenu(QMenu* menu) = 0;
    // Whether a notification area is there to show the icon at all.
    virtual bool areaPresent() const = 0;
    std::function<void(Event)> onEvent;
    // A notification area came, went or was replaced by another.
    std::function<void()> onAreaChanged;
};

class TrayIconFactory {
  public:
    virtual ~TrayIconFactory() = default;
    virtual std::unique_ptr<TrayIcon> create() = 0;
};
