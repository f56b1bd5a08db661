// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/statusnotifieritem.h"

#include <QAction>
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusObjectPath>
#include <QImage>
#include <QMenu>
#include <QtEndian>

namespace {
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");

void registerTypes() {
    static const bool once = [] {
        qDBusRegisterMetaType<SniPixmap>();
        qDBusRegisterMetaType<SniPixmaps>();
        qDBusRegisterMetaType<SniToolTip>();
        qDBusRegisterMetaType<DBusMenuLayoutItem>();
        qDBusRegisterMetaType<DBusMenuItemProperties>();
        qDBusRegisterMetaType<DBusMenuItemList>();
        qDBusRegisterMetaType<DBusMenuItemKeys>();
        qDBusRegisterMetaType<DBusMenuItemKeysList>();
        qDBusRegisterMetaType<DBusMenuEvent>();
        qDBusRegisterMetaType<DBusMenuEventList>();
        qDBusRegisterMetaType<QList<int>>();
        // The adaptors' signatures name the lists by these names.
        qRegisterMetaType<SniPixmaps>("SniPixmaps");
        qRegisterMetaType<DBusMenuItemList>("DBusMenuItemList");
        qRegisterMetaType<DBusMenuItemKeysList>("DBusMenuItemKeysList");
        qRegisterMetaType<DBusMenuEventList>("DBusMenuEventList");
        return true;
    }();
    Q_UNUSED(once);
}

QVariantMap only(const QVariantMap& all, const QStringList& names) {
    if (names.isEmpty())
        return all;
    QVariantMap chosen;
    for (const QString& name : names)
        if (all.contains(name))
            chosen.insert(name, all.value(name));
    return chosen;
}
} // namespace

QDBusArgument& operator<<(QDBusArgument& arg, const SniPixmap& pixmap) {
    arg.beginStructure();
    arg << pixmap.width << pixmap.height << pixmap.argb;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, SniPixmap& pixmap) {
    arg.beginStructure();
    arg >> pixmap.width >> pixmap.height >> pixmap.argb;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const SniToolTip& tip) {
    arg.beginStructure();
    arg << tip.iconName << tip.pixmaps << tip.title << tip.text;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, SniToolTip& tip) {
    arg.beginStructure();
    arg >> tip.iconName >> tip.pixmaps >> tip.title >> tip.text;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuLayoutItem& item) {
    arg.beginStructure();
    arg << item.id << item.properties;
    arg.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const DBusMenuLayoutItem& child : item.children)
        arg << QDBusVariant(QVariant::fromValue(child));
    arg.endArray();
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuLayoutItem& item) {
    arg.beginStructure();
    arg >> item.id >> item.properties;
    arg.beginArray();
    item.children.clear();
    while (!arg.atEnd()) {
        QDBusVariant child;
        arg >> child;
        item.children << qdbus_cast<DBusMenuLayoutItem>(child.variant());
    }
    arg.endArray();
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuItemProperties& item) {
    arg.beginStructure();
    arg << item.id << item.properties;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuItemProperties& item) {
    arg.beginStructure();
    arg >> item.id >> item.properties;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuItemKeys& keys) {
    arg.beginStructure();
    arg << keys.id << keys.names;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuItemKeys& keys) {
    arg.beginStructure();
    arg >> keys.id >> keys.names;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const DBusMenuEvent& event) {
    arg.beginStructure();
    arg << event.id << event.eventId << event.data << event.timestamp;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, DBusMenuEvent& event) {
    arg.beginStructure();
    arg >> event.id >> event.eventId >> event.data >> event.timestamp;
    arg.endStructure();
    return arg;
}

namespace StatusNotifierExport {

SniPixmaps pixmaps(const QIcon& icon) {
    SniPixmaps result;
    for (int size : {16, 22, 32}) {
        const QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull())
            continue;
        SniPixmap pixmap{image.width(), image.height(),
                         QByteArray(int(image.sizeInBytes()), Qt::Uninitialized)};
        auto* out = reinterpret_cast<quint32*>(pixmap.argb.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                *out++ = qToBigEndian(line[x]);
        }
        result << pixmap;
    }
    return result;
}

QVariantMap itemProperties(const QMenu* menu, int id, const QStringList& names) {
    QVariantMap all;
    if (id == 0) {
        all.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
        return only(all, names);
    }
    const QList<QAction*> actions = menu ? menu->actions() : QList<QAction*>();
    if (id < 1 || id > actions.size())
        return {};
    const QAction* action = actions.at(id - 1);
    if (action->isSeparator()) {
        all.insert(QStringLiteral("type"), QStringLiteral("separator"));
    } else {
        // dbusmenu marks the access key with '_', Qt with '&'.
        QString label = action->text();
        label.replace(QLatin1Char('_'), QLatin1String("__")).replace(QLatin1Char('&'), QLatin1Char('_'));
        all.insert(QStringLiteral("label"), label);
    }
    all.insert(QStringLiteral("enabled"), action->isEnabled());
    all.insert(QStringLiteral("visible"), action->isVisible());
    return only(all, names);
}

DBusMenuLayoutItem layout(const QMenu* menu, const QStringList& names) {
    DBusMenuLayoutItem root{0, itemProperties(menu, 0, names), {}};
    const int count = menu ? int(menu->actions().size()) : 0;
    for (int id = 1; id <= count; ++id)
        root.children << DBusMenuLayoutItem{id, itemProperties(menu, id, names), {}};
    return root;
}

} // namespace StatusNotifierExport

class StatusNotifierItemAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ empty)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QString IconName READ empty)
    Q_PROPERTY(SniPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ empty)
    Q_PROPERTY(SniPixmaps OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ empty)
    Q_PROPERTY(SniPixmaps AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ empty)
    Q_PROPERTY(SniToolTip ToolTip READ toolTip)
  public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem* item) : QDBusAbstractAdaptor(item), m_item(item) {}
    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("pripomin"); }
    QString title() const { return QStringLiteral("Pripomin"); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString empty() const { return {}; }
    QDBusObjectPath menu() const { return QDBusObjectPath(kMenuPath); }
    bool itemIsMenu() const { return false; }
    SniPixmaps iconPixmap() const { return m_item->iconPixmaps(); }
    SniPixmaps noPixmaps() const { return {}; }
    SniToolTip toolTip() const { return {QString(), {}, m_item->toolTip(), QString()}; }

  public Q_SLOTS:
    void Activate(int, int) { m_item->report(TrayIcon::Event::Activated); }
    void SecondaryActivate(int, int) { m_item->report(TrayIcon::Event::Activated); }
    void ContextMenu(int, int) { m_item->report(TrayIcon::Event::MenuRequested); }
    void Scroll(int, const QString&) {}

  Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

  private:
    StatusNotifierItem* m_item;
};

class DBusMenuAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)
  public:
    DBusMenuAdaptor(QObject* parent, StatusNotifierItem* item) : QDBusAbstractAdaptor(parent), m_item(item) {}
    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }
    uint revision = 1;

  public Q_SLOTS:
    uint GetLayout(int parentId, int, const QStringList& names, DBusMenuLayoutItem& layout) {
        // One level only: the menu has no submenus.
        layout = StatusNotifierExport::layout(m_item->menu(), names);
        if (parentId != 0)
            layout = DBusMenuLayoutItem{
                parentId, StatusNotifierExport::itemProperties(m_item->menu(), parentId, names), {}};
        return revision;
    }
    DBusMenuItemList GetGroupProperties(const QList<int>& ids, const QStringList& names) {
        DBusMenuItemList items;
        for (int id : ids)
            items << DBusMenuItemProperties{id,
                                            StatusNotifierExport::itemProperties(m_item->menu(), id, names)};
        return items;
    }
    QDBusVariant GetProperty(int id, const QString& name) {
        return QDBusVariant(StatusNotifierExport::itemProperties(m_item->menu(), id, {name}).value(name));
    }
    void Event(int id, const QString& eventId, const QDBusVariant&, uint) { m_item->menuEvent(id, eventId); }
    QList<int> EventGroup(const DBusMenuEventList& events) {
        for (const DBusMenuEvent& event : events)
            m_item->menuEvent(event.id, event.eventId);
        return {};
    }
    bool AboutToShow(int) { return false; }
    QList<int> AboutToShowGroup(const QList<int>&, QList<int>& idErrors) {
        idErrors.clear();
        return {};
    }

  Q_SIGNALS:
    void ItemsPropertiesUpdated(const DBusMenuItemList& updated, const DBusMenuItemKeysList& removed);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

  private:
    StatusNotifierItem* m_item;
};

StatusNotifierItem::StatusNotifierItem() {
    registerTypes();
    static int serial = 0;
    m_service = QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(++serial);
    m_item = new StatusNotifierItemAdaptor(this);
    m_menuObject = new QObject(this);
    m_menuAdaptor = new DBusMenuAdaptor(m_menuObject, this);
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.registerObject(kItemPath, this, QDBusConnection::ExportAdaptors);
    bus.registerObject(kMenuPath, m_menuObject, QDBusConnection::ExportAdaptors);
    bus.registerService(m_service);
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusMessage registration =
        QDBusMessage::createMethodCall(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher,
                                       QStringLiteral("RegisterStatusNotifierItem"));
    registration << m_service;
    bus.asyncCall(registration);
}

StatusNotifierItem::~StatusNotifierItem() {
    // The watcher drops the item when its name goes.
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(m_service);
    bus.unregisterObject(kMenuPath);
    bus.unregisterObject(kItemPath);
}

void StatusNotifierItem::setIcon(const QIcon& icon) {
    if (icon.cacheKey() == m_iconKey)
        return;
    m_iconKey = icon.cacheKey();
    auto cached = m_pixmapCache.constFind(m_iconKey);
    if (cached == m_pixmapCache.constEnd()) {
        if (m_pixmapCache.size() > 8)
            m_pixmapCache.clear();
        cached = m_pixmapCache.insert(m_iconKey, StatusNotifierExport::pixmaps(icon));
    }
    m_pixmaps = *cached;
    Q_EMIT m_item->NewIcon();
}

void StatusNotifierItem::setToolTip(const QString& text) {
    if (text == m_toolTip)
        return;
    m_toolTip = text;
    Q_EMIT m_item->NewToolTip();
}

void StatusNotifierItem::setMenu(QMenu* menu) {
    m_menu = menu;
    Q_EMIT m_menuAdaptor->LayoutUpdated(++m_menuAdaptor->revision, 0);
}

void StatusNotifierItem::report(TrayIcon::Event event) {
    if (onEvent)
        onEvent(event);
}

void StatusNotifierItem::menuEvent(int id, const QString& eventId) {
    if (eventId != QLatin1String("clicked") || !m_menu || id < 1 || id > m_menu->actions().size())
        return;
    // After the reply has gone: the command may remove this very item.
    QPointer<QAction> action = m_menu->actions().at(id - 1);
    QMetaObject::invokeMethod(
        this,
        [action] {
            if (action && action->isEnabled() && !action->isSeparator())
                action->trigger();
        },
        Qt::QueuedConnection);
}

#include "statusnotifieritem.moc"
