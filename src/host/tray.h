#pragma once

#include <QIcon>
#include <QString>
#include <functional>
#include <memory>

class QMenu;

// One icon in the notification area. The mouse report comes back as the classic codes:
// 0x204 right button pressed, 0x205 right button released, 0x206 right double click,
// 0x201/0x202/0x203 for the left button.
class TrayIcon {
public:
    enum Message { Add = 0, Modify = 1, Delete = 2 };
    virtual ~TrayIcon() = default;
    // Sends the record to the notification area; the result is not examined by callers.
    virtual bool notify(int message, const QIcon& icon, const QString& tooltip) = 0;
    // The menu a notification area shows by itself (StatusNotifierItem hosts draw it from what the
    // icon exports); where the area leaves menus to the program, popUpMenu opens it instead.
    virtual void setMenu(QMenu* menu) = 0;
    virtual void popUpMenu(QMenu* menu) = 0;
    // Whether a notification area is there to show the icon at all.
    virtual bool areaPresent() const = 0;
    std::function<void(int code)> onMouse;
};

class TrayIconFactory {
public:
    virtual ~TrayIconFactory() = default;
    virtual std::unique_ptr<TrayIcon> create() = 0;
};
