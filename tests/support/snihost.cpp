// A StatusNotifier host for the end-to-end tests, speaking to the program the way a panel does
// (Plasma, waybar, the GNOME AppIndicator extension), over the session bus in DBUS_SESSION_BUS_ADDRESS.
//
//   vakto_snihost watcher        owns org.kde.StatusNotifierWatcher with a host registered; prints
//                                "registered ITEM" and "unregistered ITEM" lines; runs until killed
//   vakto_snihost tooltip        prints the title of the registered item's ToolTip
//   vakto_snihost activate       a left click: Activate(0, 0)
//   vakto_snihost menu           the item's DBusMenu (GetLayout): "id<TAB>type<TAB>visible<TAB>enabled<TAB>label"
//   vakto_snihost click LABEL    the host's click on the menu item labelled LABEL: Event(id, "clicked")
//
// The client commands find the item through the watcher, as a panel does, and exit with 1 and a
// message on stderr when something is not there.

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDateTime>
#include <QStringList>
#include <cstdio>

namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString ItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString MenuInterface = QStringLiteral("com.canonical.dbusmenu");

void Say(const QString& line) {
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

int Fail(const QString& why) {
    std::fprintf(stderr, "vakto_snihost: %s\n", why.toUtf8().constData());
    return 1;
}

} // namespace

// The watcher. Its properties are exported with the introspection data: Qt asks for
// IsStatusNotifierHostRegistered through it before it chooses StatusNotifierItem over XEmbed.
class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    explicit Watcher(const QDBusConnection& bus) : m_gone(QString(), bus, QDBusServiceWatcher::WatchForUnregistration) {
        connect(&m_gone, &QDBusServiceWatcher::serviceUnregistered, this, &Watcher::serviceGone);
    }
    QStringList items() const { return m_items; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public slots:
    // An item names its own bus name, or only its object path (then the sender is the service).
    void RegisterStatusNotifierItem(const QString& serviceOrPath, const QDBusMessage& message) {
        const bool isPath = serviceOrPath.startsWith(QLatin1Char('/'));
        const QString service = isPath ? message.service() : serviceOrPath;
        const QString item = service + (isPath ? serviceOrPath : QStringLiteral("/StatusNotifierItem"));
        if (m_items.contains(item)) return;
        m_items << item;
        m_gone.addWatchedService(service);
        Say(QStringLiteral("registered ") + item);
        emit StatusNotifierItemRegistered(item);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& item);
    void StatusNotifierItemUnregistered(const QString& item);
    void StatusNotifierHostRegistered();

private:
    void serviceGone(const QString& service) {
        // A copy: removing from the list would free the string a reference into it points at.
        const QStringList items = m_items;
        for (const QString& item : items) {
            if (!item.startsWith(service + QLatin1Char('/'))) continue;
            m_items.removeAll(item);
            m_gone.removeWatchedService(service);
            Say(QStringLiteral("unregistered ") + item);
            emit StatusNotifierItemUnregistered(item);
            break;
        }
    }

    QDBusServiceWatcher m_gone;
    QStringList m_items;
};

namespace {

// One menu entry of a DBusMenu layout.
struct Entry {
    int id = 0;
    QVariantMap props;
};

// A layout node (ia{sv}av) and its children, depth first.
void ReadLayout(const QDBusArgument& arg, QList<Entry>& out, bool isRoot) {
    Entry e;
    arg.beginStructure();
    arg >> e.id >> e.props;
    arg.beginArray();
    QList<QDBusVariant> children;
    while (!arg.atEnd()) {
        QDBusVariant child;
        arg >> child;
        children << child;
    }
    arg.endArray();
    arg.endStructure();
    if (!isRoot) out << e;
    for (const QDBusVariant& child : children)
        ReadLayout(child.variant().value<QDBusArgument>(), out, false);
}

QVariant Property(const QDBusConnection& bus, const QString& service, const QString& path, const QString& iface,
                  const QString& name, QString* error) {
    QDBusMessage get = QDBusMessage::createMethodCall(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << iface << name;
    const QDBusMessage reply = bus.call(get, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        *error = name + QStringLiteral(": ") + reply.errorMessage();
        return QVariant();
    }
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

struct Item {
    QString service;
    QString path;
};

bool FindItem(const QDBusConnection& bus, Item* item, QString* error) {
    const QStringList items = Property(bus, WatcherService, WatcherPath, WatcherService,
                                       QStringLiteral("RegisteredStatusNotifierItems"), error)
                                  .toStringList();
    if (items.isEmpty()) {
        if (error->isEmpty()) *error = QStringLiteral("no item is registered");
        return false;
    }
    const QString first = items.first();
    const qsizetype slash = first.indexOf(QLatin1Char('/'));
    item->service = first.left(slash);
    item->path = first.mid(slash);
    return true;
}

QList<Entry> Menu(const QDBusConnection& bus, const Item& item, QString* error) {
    const QVariant menuPath = Property(bus, item.service, item.path, ItemInterface, QStringLiteral("Menu"), error);
    const QString path = menuPath.value<QDBusObjectPath>().path();
    if (path.isEmpty() || path == QLatin1String("/")) {
        if (error->isEmpty()) *error = QStringLiteral("the item exports no menu");
        return {};
    }
    // A host announces that it is about to show the menu, then reads it.
    QDBusMessage about =
        QDBusMessage::createMethodCall(item.service, path, MenuInterface, QStringLiteral("AboutToShow"));
    about << 0;
    bus.call(about, QDBus::Block, 5000);
    QDBusMessage get = QDBusMessage::createMethodCall(item.service, path, MenuInterface, QStringLiteral("GetLayout"));
    get << 0 << -1 << QStringList();
    const QDBusMessage reply = bus.call(get, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2) {
        *error = QStringLiteral("GetLayout: ") + reply.errorMessage();
        return {};
    }
    QList<Entry> entries;
    ReadLayout(reply.arguments().at(1).value<QDBusArgument>(), entries, true);
    if (entries.isEmpty()) *error = QStringLiteral("the menu is empty");
    return entries;
}

QString MenuPath(const QDBusConnection& bus, const Item& item, QString* error) {
    return Property(bus, item.service, item.path, ItemInterface, QStringLiteral("Menu"), error)
        .value<QDBusObjectPath>()
        .path();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return Fail(QStringLiteral("no session bus: ") + bus.lastError().message());

    if (command == QLatin1String("watcher")) {
        Watcher watcher(bus);
        if (!bus.registerObject(WatcherPath, &watcher,
                                QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                    QDBusConnection::ExportAllProperties))
            return Fail(QStringLiteral("cannot export the watcher: ") + bus.lastError().message());
        if (!bus.registerService(WatcherService))
            return Fail(QStringLiteral("cannot own ") + WatcherService + QStringLiteral(": ") +
                        bus.lastError().message());
        Say(QStringLiteral("watching"));
        return app.exec();
    }

    QString error;
    Item item;
    if (command.isEmpty() || !FindItem(bus, &item, &error))
        return Fail(command.isEmpty() ? QStringLiteral("usage: vakto_snihost watcher|tooltip|activate|menu|click LABEL")
                                      : error);

    if (command == QLatin1String("tooltip")) {
        const QVariant tip = Property(bus, item.service, item.path, ItemInterface, QStringLiteral("ToolTip"), &error);
        if (!error.isEmpty()) return Fail(error);
        // (s a(iiay) s s): icon name, pixmaps, title, description.
        const QDBusArgument arg = tip.value<QDBusArgument>();
        QString iconName, title, description;
        arg.beginStructure();
        arg >> iconName;
        arg.beginArray();
        while (!arg.atEnd()) {
            int w = 0, h = 0;
            QByteArray pixels;
            arg.beginStructure();
            arg >> w >> h >> pixels;
            arg.endStructure();
        }
        arg.endArray();
        arg >> title >> description;
        arg.endStructure();
        Say(title);
        return 0;
    }
    if (command == QLatin1String("activate")) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(item.service, item.path, ItemInterface, QStringLiteral("Activate"));
        call << 0 << 0;
        const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
        return reply.type() == QDBusMessage::ReplyMessage ? 0
                                                          : Fail(QStringLiteral("Activate: ") + reply.errorMessage());
    }
    const QList<Entry> entries = Menu(bus, item, &error);
    if (entries.isEmpty()) return Fail(error);
    if (command == QLatin1String("menu")) {
        for (const Entry& e : entries) {
            const QString type = e.props.value(QStringLiteral("type"), QStringLiteral("standard")).toString();
            Say(QStringLiteral("%1\t%2\t%3\t%4\t%5")
                    .arg(e.id)
                    .arg(type)
                    .arg(e.props.value(QStringLiteral("visible"), true).toBool() ? 1 : 0)
                    .arg(e.props.value(QStringLiteral("enabled"), true).toBool() ? 1 : 0)
                    .arg(e.props.value(QStringLiteral("label")).toString()));
        }
        return 0;
    }
    if (command == QLatin1String("click") && args.size() == 2) {
        for (const Entry& e : entries) {
            if (e.props.value(QStringLiteral("label")).toString() != args.at(1)) continue;
            QDBusMessage event = QDBusMessage::createMethodCall(item.service, MenuPath(bus, item, &error),
                                                                MenuInterface, QStringLiteral("Event"));
            event << e.id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0))
                  << uint(QDateTime::currentSecsSinceEpoch());
            const QDBusMessage reply = bus.call(event, QDBus::Block, 5000);
            return reply.type() == QDBusMessage::ReplyMessage ? 0
                                                              : Fail(QStringLiteral("Event: ") + reply.errorMessage());
        }
        return Fail(QStringLiteral("no menu item labelled ") + args.at(1));
    }
    return Fail(QStringLiteral("unknown command ") + command);
}

#include "snihost.moc"
