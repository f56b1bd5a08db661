// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/tray.h"

#include <QDBusArgument>
#include <QHash>
#include <QIcon>
#include <QMenu>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariantMap>
#include <functional>

class QMenu;

// The D-Bus forms of what a StatusNotifierItem and its com.canonical.dbusmenu menu export.
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb; // ARGB32, each pixel in network byte order
};
using SniPixmaps = QList<SniPixmap>;
struct SniToolTip {
    QString iconName;
    SniPixmaps pixmaps;
    QString title;
    QString text;
};
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};
struct DBusMenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemList = QList<DBusMenuItemProperties>;
struct DBusMenuItemKeys {
    int id = 0;
    QStringList names;
};
using DBusMenuItemKeysList = QList<DBusMenuItemKeys>;
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

Q_DECLARE_METATYPE(SniPixmap)
Q_DECLARE_METATYPE(SniToolTip)
Q_DECLARE_METATYPE(DBusMenuLayoutItem)
Q_DECLARE_METATYPE(DBusMenuItemProperties)
Q_DECLARE_METATYPE(DBusMenuItemKeys)
Q_DECLARE_METATYPE(DBusMenuEvent)

QDBusArgument& operator<<(QDBusArgument& arg, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& arg, SniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& arg, const SniToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& arg, SniToolTip& tip);
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuItemKeys& keys);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuItemKeys& keys);
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuEvent& event);

namespace StatusNotifierExport {
// The icon's pictures at the sizes panels draw.
SniPixmaps pixmaps(const QIcon& icon);
// The menu's items as dbusmenu lists them: the root 0 and item i+1 for the menu's action i;
// only the named properties, or all of them when none are named.
DBusMenuLayoutItem layout(const QMenu* menu, const QStringList& names = {});
QVariantMap itemProperties(const QMenu* menu, int id, const QStringList& names = {});
} // namespace StatusNotifierExport

class StatusNotifierItemAdaptor;
class DBusMenuAdaptor;

// Our own StatusNotifierItem on the session bus, with its menu exported as com.canonical.dbusmenu:
// made when a StatusNotifierItem host is there, registered with the watcher at once.
class StatusNotifierItem final : public QObject {
    Q_OBJECT
  public:
    StatusNotifierItem();
    ~StatusNotifierItem() override;

    void setIcon(const QIcon& icon);
    void setToolTip(const QString& text);
    void setMenu(QMenu* menu);
    QMenu* menu() const { return m_menu; }
    std::function<void(TrayIcon::Event)> onEvent;

    // What the adaptors answer.
    QString toolTip() const { return m_toolTip; }
    SniPixmaps iconPixmaps() const { return m_pixmaps; }
    void report(TrayIcon::Event event);
    void menuEvent(int id, const QString& eventId);

  private:
    QString m_service;
    QString m_toolTip;
    qint64 m_iconKey = 0;
    SniPixmaps m_pixmaps;
    // Made once for each picture: the flashing shows the same two all day.
    QHash<qint64, SniPixmaps> m_pixmapCache;
    QPointer<QMenu> m_menu;
    StatusNotifierItemAdaptor* m_item = nullptr;
    DBusMenuAdaptor* m_menuAdaptor = nullptr;
    QObject* m_menuObject = nullptr;
};
