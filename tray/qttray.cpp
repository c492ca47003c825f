#include "tray/qttray.h"

#include "app/mainwindow.h"
#include "app/shell.h"
#include "tray/traymenu.h"

#include <QAction>
#include <QMenu>

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
    delete m_icon;
}

void QtTray::attach(Shell* shell) {
    m_shell = shell;
}

void QtTray::apply(int iconIndex, const QString& tip) {
    m_icon->setIcon(m_shell->pixmaps().icon(QStringLiteral("imgTrayIcon_%1").arg(iconIndex)));
    m_icon->setToolTip(tip);
}

bool QtTray::add(int iconIndex, const QString& tip) {
    if (!m_icon) {
        m_icon = new QSystemTrayIcon();
        // Queued: the XEmbed icon emits from inside its own mouse handler, and what the core does
        // then (open the menu's event loop, quit and remove this very icon) must not run in there.
        connect(m_icon, &QSystemTrayIcon::activated, this, &QtTray::activate, Qt::QueuedConnection);
    }
    apply(iconIndex, tip);
    // Shown even without a tray: Qt embeds a visible icon by itself as soon as a tray appears.
    m_icon->show();
    return isShown();
}

bool QtTray::change(int iconIndex, const QString& tip) {
    if (!m_icon) return false;
    // Kept also while no tray is there, so that the icon appears with the current state.
    apply(iconIndex, tip);
    return isShown();
}

void QtTray::remove() {
    if (m_icon) m_icon->hide();
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
    OnMainMouseMove(m_shell->vakto(), MouseEv{0, msg, 0});
    if (!m_shell->vakto().app.ended) m_shell->sync();
}
