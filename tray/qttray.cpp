#include "tray/qttray.h"

#include "model/pixmaps.h"
#include "tray/traymenu.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QGuiApplication>
#include <QMenu>

bool StatusNotifierHostRegistered() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    // Through the watcher's introspection data, as Qt reads it, so both come to the same answer.
    QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
                           QStringLiteral("org.kde.StatusNotifierWatcher"), bus);
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

int TrayMessageFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return TrayLeftDown;
    case QSystemTrayIcon::DoubleClick:
        return TrayLeftDouble;
    case QSystemTrayIcon::Context:
        return TrayRightUp;
    default:
        return 0;
    }
}

QtTray::QtTray() = default;
QtTray::~QtTray() {
    // The icon refers to its exported menu: it goes first.
    delete m_icon;
    delete m_menu;
}

void QtTray::attach(ShellHub* shell) {
    m_shell = shell;
}

void QtTray::apply() {
    m_icon->setIcon(m_shell->pixmaps().icon(QStringLiteral("imgTrayIcon_%1").arg(m_iconIndex)));
    m_icon->setToolTip(m_tip);
    // The alarm state changes the menu's first caption together with the icon.
    if (m_menu) syncMenu();
}

void QtTray::createIcon() {
    // Qt decides between StatusNotifierItem and XEmbed once per process, at its first icon. Elsewhere
    // than on X11 an icon without a StatusNotifier host could never be shown (and Qt would warn that
    // it has no XEmbed tray to watch there): the start-up message says so and the window stays reachable.
    m_sni = StatusNotifierHostRegistered();
    if (!m_sni && QGuiApplication::platformName() != QLatin1String("xcb")) return;
    m_icon = new QSystemTrayIcon();
    // Queued: the XEmbed icon emits from inside its own mouse handler, and what the core does then
    // (open the menu's event loop, quit and remove this very icon) must not run in there.
    connect(m_icon, &QSystemTrayIcon::activated, this, &QtTray::activate, Qt::QueuedConnection);
    if (m_sni) m_icon->setContextMenu(exportedMenu());
    apply();
    // Shown even without a tray: Qt embeds a visible icon by itself as soon as an XEmbed tray appears.
    m_icon->show();
}

bool QtTray::add(int iconIndex, const QString& tip) {
    m_iconIndex = iconIndex;
    m_tip = tip;
    if (!m_icon) {
        createIcon();
    } else {
        apply();
        m_icon->show();
    }
    return isShown();
}

bool QtTray::change(int iconIndex, const QString& tip) {
    // Kept also while no tray is there, so that the icon appears with the current state.
    m_iconIndex = iconIndex;
    m_tip = tip;
    if (!m_icon) return false;
    apply();
    return isShown();
}

void QtTray::remove() {
    if (m_icon) m_icon->hide();
}

QMenu* QtTray::exportedMenu() {
    if (!m_menu) {
        m_menu = new QMenu();
        m_menu->setObjectName(QStringLiteral("mnuTray"));
        const auto& items = m_shell->vakto().depot.mnuTray;
        for (int i = 0; i < int(items.size()); ++i) {
            QAction* a = items[std::size_t(i)].separator ? m_menu->addSeparator() : m_menu->addAction(QString());
            a->setData(i);
            // Queued: the host's click arrives inside a D-Bus call, and what the item does (quit and
            // remove this very menu, open the About window) must run from the event loop instead.
            connect(
                a, &QAction::triggered, this, [this, i] { runMenuItem(i); }, Qt::QueuedConnection);
        }
        // Hosts ask before they show it; the captions are current then whatever changed them.
        connect(m_menu, &QMenu::aboutToShow, this, &QtTray::syncMenu);
    }
    syncMenu();
    return m_menu;
}

void QtTray::syncMenu() {
    const auto& items = m_shell->vakto().depot.mnuTray;
    const QList<QAction*> actions = m_menu->actions();
    for (QAction* a : actions) {
        const MenuItem& it = items[std::size_t(a->data().toInt())];
        if (!it.separator && a->text() != it.caption) a->setText(it.caption);
        a->setVisible(it.visible);
        a->setEnabled(it.enabled);
        if (it.isDefault) m_menu->setDefaultAction(a);
    }
}

void QtTray::runMenuItem(int item) {
    if (!m_shell || m_shell->vakto().app.ended) return;
    RunMenuItem(m_shell->vakto(), item);
    if (!m_shell->vakto().app.ended) m_shell->sync();
}

bool QtTray::isShown() const {
    // A visible QSystemTrayIcon is embedded exactly while a tray (or a StatusNotifier watcher) exists.
    return m_icon && m_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

int QtTray::popupMenu(QPoint at) {
    const auto& items = m_shell->vakto().depot.mnuTray;
    QMenu menu;
    menu.setObjectName(QStringLiteral("mnuTray"));
    for (int i = 0; i < int(items.size()); ++i) {
        const MenuItem& it = items[std::size_t(i)];
        QAction* a = it.separator ? menu.addSeparator() : menu.addAction(it.caption);
        a->setData(i);
        a->setVisible(it.visible);
        a->setEnabled(it.enabled);
        if (it.isDefault) menu.setDefaultAction(a); // drawn bold
    }
    // The menu's right edge at the pointer: it opens to the left, as trays at the screen's right expect.
    const QPoint topLeft(at.x() - menu.sizeHint().width(), at.y());
    QAction* chosen = menu.exec(topLeft);
    return chosen ? chosen->data().toInt() : -1;
}

void QtTray::activate(QSystemTrayIcon::ActivationReason reason) {
    const int msg = TrayMessageFor(reason);
    if (msg == 0 || !m_shell) return;
    // A StatusNotifier host shows the exported menu itself; a menu opened by the program could not
    // even be placed on Wayland.
    if (m_sni && msg == TrayRightUp) return;
    Vakto& v = m_shell->vakto();
    if (v.tray.onMessage) v.tray.onMessage(v, MouseEv{0, msg, 0});
    if (!v.app.ended) m_shell->sync();
}
