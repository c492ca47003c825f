#pragma once
// The desktop's notification area through QSystemTrayIcon: StatusNotifierItem where a watcher runs,
// the XEmbed tray otherwise. Activations reach the core as the main window's mouse move. A
// StatusNotifier host shows the item's menu itself, from the copy of the core's tray menu that the
// item exports over DBusMenu; on XEmbed the program opens the menu on its own.

#include "model/ports.h"

#include <QObject>
#include <QSystemTrayIcon>

class QMenu;
class ShellHub;

// True when the session bus has a StatusNotifier watcher with a host registered: the test Qt itself
// makes when it creates a tray icon.
bool StatusNotifierHostRegistered();

// The tray message the core expects for a platform activation, 0 for one it does not handle.
int TrayMessageFor(QSystemTrayIcon::ActivationReason reason);

class QtTray : public QObject, public TrayPort {
    Q_OBJECT
public:
    QtTray();
    ~QtTray() override;
    void attach(ShellHub* shell);

    bool add(int iconIndex, const QString& tip) override;
    bool change(int iconIndex, const QString& tip) override;
    void remove() override;
    bool isShown() const override;
    int popupMenu(QPoint at) override;

    QSystemTrayIcon* icon() { return m_icon; }
    // Delivers a platform activation to the core as a tray message, then repaints.
    void activate(QSystemTrayIcon::ActivationReason reason);

    // The menu a StatusNotifier host shows: built from the core's tray menu on first use, its
    // captions, visibility and default kept up to date. Exported once the icon speaks StatusNotifierItem.
    QMenu* exportedMenu();
    bool isStatusNotifierItem() const { return m_sni; }

private:
    void apply();
    void createIcon();
    void syncMenu();
    void runMenuItem(int item);

    ShellHub* m_shell = nullptr;
    QSystemTrayIcon* m_icon = nullptr;
    QMenu* m_menu = nullptr;
    int m_iconIndex = 0;
    QString m_tip;
    bool m_sni = false;
};
