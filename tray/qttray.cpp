#include "tray/qttray.h"

#include "app/mainwindow.h"
#include "app/shell.h"

#include <QAction>
#include <QMenu>

QtTray::QtTray() = default;
QtTray::~QtTray() { delete m_icon; }

void QtTray::attach(Shell* shell) { m_shell = shell; }

bool QtTray::add(int iconIndex, const QString& tip) {
    if (!m_icon) {
        m_icon = new QSystemTrayIcon();
        connect(m_icon, &QSystemTrayIcon::activated, this, &QtTray::onActivated);
    }
    m_icon->setIcon(m_shell->pixmaps().icon(QStringLiteral("imgTrayIcon_%1").arg(iconIndex)));
    m_icon->setToolTip(tip);
    m_icon->show();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTray::change(int iconIndex, const QString& tip) {
    if (!m_icon)
        return false;
    m_icon->setIcon(m_shell->pixmaps().icon(QStringLiteral("imgTrayIcon_%1").arg(iconIndex)));
    m_icon->setToolTip(tip);
    return true;
}

void QtTray::remove() {
    if (m_icon)
        m_icon->hide();
}

bool QtTray::isShown() const { return m_icon && m_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable(); }

int QtTray::popupMenu(QPoint) { return -1; }

void QtTray::onActivated(QSystemTrayIcon::ActivationReason) {}
