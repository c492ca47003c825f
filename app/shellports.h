#pragma once
// Real implementations of the ports that belong to the application shell.

#include "model/ports.h"

#include <limits>

class Shell;
class FrmVakto;

// The local wall clock. The time zone's offset is looked up once per minute of UTC (every change of
// offset falls on a whole minute), not per reading: a lookup asks the C library, which examines the
// zone file every time. A change of the system's zone is therefore seen within a minute.
class SystemClock : public Clock {
public:
    using UtcSource = qint64 (*)(); // milliseconds since 1970-01-01T00:00Z
    explicit SystemClock(UtcSource utcNow = &QDateTime::currentMSecsSinceEpoch) : m_utcNow(utcNow) {}
    // The local date and time, carried in a Qt::UTC value so that Qt converts nothing again: its
    // date() and time() are the wall clock's.
    QDateTime now() const override;
    std::int64_t monotonicMs() const override;

private:
    UtcSource m_utcNow;
    mutable qint64 m_minute = std::numeric_limits<qint64>::min(); // the UTC minute of the lookup; none yet
    mutable qint64 m_offsetMs = 0;
};

class MessageBoxes : public Dialogs {
public:
    void message(const QString& text) override;
    void error(const QString& text) override;
    void warn(const QString& text) override;
    // Reports go only to standard error: the display is gone.
    void setHeadless(bool headless) { m_headless = headless; }

private:
    bool m_headless = false;
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
