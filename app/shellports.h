#pragma once
// Real implementations of the ports that belong to the application shell.

#include "model/ports.h"

class Shell;
class FrmVakto;

class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

class MessageBoxes : public Dialogs {
public:
    void message(const QString& text) override;
    void error(const QString& text) override;
};

class DesktopBrowser : public Browser {
public:
    void open(const QString& url) override;
};

class MainWindowPort : public WindowPort {
public:
    void attach(Shell* shell) { m_shell = shell; }
    void show() override;
    void hide() override;
    void setMinimised(bool minimised) override;
    bool isMinimised() const override;
    bool isVisible() const override;
    QPoint pos() const override;
    QSize size() const override;
    void move(QPoint topLeft) override;
    QPoint cursorPos() const override;
    QRect screenGeometryAt(QPoint p) const override;
    bool canPlaceItself() const override;
    void startSystemMove() override;
    void setIcon(const QString& name) override;
    void showAbout() override;
    void unloadAbout() override;
    void unload() override;
    void endProgram(int status) override;

    bool ended() const { return m_ended; }
    int status() const { return m_status; }

private:
    FrmVakto* w() const;
    Shell* m_shell = nullptr;
    bool m_ended = false;
    int m_status = 0;
};
