#pragma once
// Recording fakes of the ports, for tests that drive the core without a desktop.

#include "model/ports.h"

#include <QDateTime>
#include <QList>
#include <QRect>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

class FakeClock : public Clock {
public:
    QDateTime t{QDate(2026, 12, 9), QTime(14, 7, 31)};
    std::int64_t mono = 1'000'000; // awake milliseconds
    QDateTime now() const override { return t; }
    std::int64_t monotonicMs() const override { return mono; }
    // The wall clock set by hand: the awake clock does not move.
    void set(int h, int m, int s) { t = QDateTime(t.date(), QTime(h, m, s)); }
    // Time passing while the machine is awake (a stalled program too).
    void advance(int seconds) {
        t = t.addSecs(seconds);
        mono += std::int64_t(seconds) * 1000;
    }
    // The machine asleep: the wall clock moves on, the awake clock stands still.
    void suspend(int seconds) { t = t.addSecs(seconds); }
};

class FakeSound : public SoundOutput {
public:
    QStringList played;
    QStringList descriptions;
    void play(const QString& path, const QString& description) override {
        played << path;
        descriptions << description;
    }
};

class FakeBrowser : public Browser {
public:
    QStringList opened;
    void open(const QString& url) override { opened << url; }
};

class FakeDialogs : public Dialogs {
public:
    QStringList messages;
    QStringList errors;
    QStringList warnings;
    std::function<void()> whileMessageOpen; // runs inside message(), e.g. the session ending
    void message(const QString& text) override {
        messages << text;
        if (whileMessageOpen) whileMessageOpen();
    }
    void error(const QString& text) override { errors << text; }
    void warn(const QString& text) override { warnings << text; }
};

class FakeTray : public TrayPort {
public:
    bool available = true;
    bool shown = false;
    int iconIndex = -1;
    QString tip;
    QStringList calls;   // "add", "change", "remove"
    int menuChoice = -1; // what popupMenu returns
    QPoint menuAt;
    int menuOpened = 0;
    std::function<void()> whileMenuOpen; // runs inside popupMenu, e.g. a second tray event
    bool changeFails = false;            // a shown icon that the tray refuses to change

    bool add(int i, const QString& t) override {
        calls << QStringLiteral("add");
        iconIndex = i;
        tip = t;
        shown = available;
        return available;
    }
    bool change(int i, const QString& t) override {
        calls << QStringLiteral("change");
        iconIndex = i;
        tip = t;
        return shown && !changeFails;
    }
    void remove() override {
        calls << QStringLiteral("remove");
        shown = false;
    }
    bool isShown() const override { return shown; }
    int popupMenu(QPoint at) override {
        ++menuOpened;
        menuAt = at;
        if (whileMenuOpen) whileMenuOpen();
        return menuChoice;
    }
};

class FakeWindow : public WindowPort {
public:
    bool visible = false;
    bool minimised = false;
    QPoint position{100, 100};
    QSize sz{385, 195};
    QPoint cursor;
    // The desktop's screens, the primary first.
    QList<QRect> screens{QRect(0, 0, 1024, 768)};
    bool placeable = true;
    int systemMoves = 0;
    QString icon;
    int aboutShown = 0;
    int aboutUnloaded = 0;
    int unloads = 0;
    bool ended = false;
    int status = -1;
    std::function<void()> onUnload; // the real shell raises close request + unload here
    QStringList calls;

    void show() override {
        visible = true;
        calls << QStringLiteral("show");
    }
    void hide() override {
        visible = false;
        calls << QStringLiteral("hide");
    }
    void setMinimised(bool m) override {
        minimised = m;
        calls << (m ? QStringLiteral("minimise") : QStringLiteral("restore"));
    }
    bool isMinimised() const override { return minimised; }
    bool isVisible() const override { return visible; }
    QPoint pos() const override { return position; }
    QSize size() const override { return sz; }
    void move(QPoint p) override { position = p; }
    QPoint cursorPos() const override { return cursor; }
    QRect screenGeometryAt(QPoint p) const override {
        for (const QRect& r : screens)
            if (r.contains(p)) return r;
        return screens.value(0);
    }
    bool canPlaceItself() const override { return placeable; }
    void startSystemMove() override { ++systemMoves; }
    void setIcon(const QString& name) override { icon = name; }
    void showAbout() override { ++aboutShown; }
    void unloadAbout() override { ++aboutUnloaded; }
    void unload() override {
        ++unloads;
        if (onUnload) onUnload();
    }
    void endProgram(int s) override {
        ended = true;
        status = s;
    }
};

// A clock that answers each now() with the next time of its script (the last one repeats), for
// code that must read the clock at a given moment.
class ScriptedClock : public Clock {
public:
    std::vector<QDateTime> script;
    mutable std::size_t calls = 0;
    QDateTime now() const override {
        const std::size_t i = calls < script.size() ? calls : script.size() - 1;
        ++calls;
        return script.empty() ? QDateTime() : script[i];
    }
    // Awake all along: the awake clock follows the script's last reading.
    std::int64_t monotonicMs() const override {
        if (script.empty() || calls == 0) return 0;
        const std::size_t i = std::min(calls, script.size()) - 1;
        return script.front().msecsTo(script[i]);
    }
};

// All the fakes one core needs, and the ports over them.
struct FakePorts {
    FakeClock clock;
    FakeSound sound;
    FakeBrowser browser;
    FakeDialogs dialogs;
    FakeTray tray;
    FakeWindow window;
    Ports ports() { return Ports{clock, sound, browser, dialogs, tray, window}; }
};
