#pragma once
// The edges of the program: everything the core asks of the desktop. Each port has one real
// implementation in the shell and one recording fake in tests/support.

#include <QDateTime>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

// Local date and time, to the second. The core never reads the system clock itself.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Milliseconds of a clock that only runs while the machine is awake (it stands still in a
    // suspend and never jumps when the wall clock is set); tells a stalled program from a sleeping
    // machine. Its origin means nothing.
    virtual std::int64_t monotonicMs() const = 0;
};

// Plays a WAV file asynchronously; a new play() replaces a sound still playing. Failures are silent.
// `description` says which ring it is, in words the desktop's sound settings can show.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void play(const QString& path, const QString& description) = 0;
};

// Opens an address in the desktop's default browser; never blocks, result ignored.
class Browser {
public:
    virtual ~Browser() = default;
    virtual void open(const QString& url) = 0;
};

// Plain modal message boxes with an OK button and the program's name as title.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void message(const QString& text) = 0;
    // A fatal report: shown and also printed on standard error by the caller's shell.
    virtual void error(const QString& text) = 0;
    // A report that needs no answer and must not hold up the clock: shown without waiting (the
    // program goes on ticking behind it) and printed on standard error.
    virtual void warn(const QString& text) = 0;
};

// The notification-area icon. Icon index 0 = alarm on, 1 = alarm off.
class TrayPort {
public:
    virtual ~TrayPort() = default;
    virtual bool add(int iconIndex, const QString& tip) = 0;
    virtual bool change(int iconIndex, const QString& tip) = 0;
    virtual void remove() = 0;
    // True while an icon is actually shown in a tray (a tray may appear after start-up).
    virtual bool isShown() const = 0;
    // Opens the tray menu with its right edge at the given screen point and blocks until it closes.
    // Returns the index of the chosen item in DepotModel::mnuTray, or -1 when nothing was chosen.
    virtual int popupMenu(QPoint at) = 0;
};

// The main window and the other top-level windows as the core sees them.
class WindowPort {
public:
    virtual ~WindowPort() = default;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void setMinimised(bool minimised) = 0;
    virtual bool isMinimised() const = 0;
    virtual bool isVisible() const = 0;
    virtual QPoint pos() const = 0; // screen pixels
    virtual QSize size() const = 0; // pixels
    virtual void move(QPoint topLeft) = 0;
    virtual QPoint cursorPos() const = 0; // screen pixels
    // Geometry (origin and size, screen pixels) of the screen holding the given point; the primary
    // screen's when no screen does.
    virtual QRect screenGeometryAt(QPoint p) const = 0;
    // False where the platform does not let a window place itself (Wayland).
    virtual bool canPlaceItself() const = 0;
    virtual void startSystemMove() = 0;
    // Window icon by resource name ("ICO0", "ICO1"), large and small size.
    virtual void setIcon(const QString& name) = 0;
    virtual void showAbout() = 0;
    virtual void unloadAbout() = 0;
    // Unloads the main window: raises its (non-user) close request, then its unload.
    virtual void unload() = 0;
    // Ends the program at once with the given exit status.
    virtual void endProgram(int status) = 0;
};

struct Ports {
    Clock& clock;
    SoundOutput& sound;
    Browser& browser;
    Dialogs& dialogs;
    TrayPort& tray;
    WindowPort& window;
};
