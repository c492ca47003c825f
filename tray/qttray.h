#pragma once
// The desktop's notification area through QSystemTrayIcon.

#include "app/ports.h"

#include <QObject>
#include <QSystemTrayIcon>

class Shell;
class QMenu;

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

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    Shell* m_shell = nullptr;
    QSystemTrayIcon* m_icon = nullptr;
};
