#pragma once
// The desktop's notification area through QSystemTrayIcon: StatusNotifierItem where a watcher runs,
// the XEmbed tray otherwise. Activations reach the core as the main window's mouse move.

#include "app/ports.h"

#include <QObject>
#include <QSystemTrayIcon>

class Shell;

// The tray message the core expects for a platform activation, 0 for one it does not handle.
int TrayMessageFor(QSystemTrayIcon::ActivationReason reason);

class QtTray : public QObject, public TrayPort {
    Q_OBJECT
public:
    QtTray();
    ~QtTray() override;
    void attach(Shell* shell);

    bool add(int iconIndex, const QString& tip) override;
    bool change(int iconIndex, const QString& tip) override;
    void remove() override;
    bool isShown() const override;
    int popupMenu(QPoint at) override;

    QSystemTrayIcon* icon() { return m_icon; }
    // Delivers a platform activation to the core as a tray message, then repaints.
    void activate(QSystemTrayIcon::ActivationReason reason);

private:
    void apply(int iconIndex, const QString& tip);

    Shell* m_shell = nullptr;
    QSystemTrayIcon* m_icon = nullptr;
};
