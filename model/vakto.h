#pragma once
// The application object: the state of every module, the element models of the windows and the
// ports to the desktop. Procedures of each subsystem are free functions taking Vakto&. The
// constructor lives at the top (app/vakto.cpp): it builds the windows' models and installs every
// subsystem's handlers, so a Vakto is ready to start once it exists.

#include "model/elements.h"
#include "model/ports.h"

#include <QDateTime>
#include <QImage>
#include <QPoint>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// ---- time texts -------------------------------------------------------------------------------
struct TimeParts {
    QString hour;   // "00".."23"
    QString minute; // "00".."59"
    QString second; // "00".."59"
};

struct TimeState {
    QString curTime; // "hh:mm:ss"
    TimeParts curParts;
};

// ---- application shell ------------------------------------------------------------------------
struct AppState {
    // Local date and time (seconds since the epoch of the local wall clock) of the last second the
    // tick handled; 0 = none yet, so the first tick always acts.
    std::int64_t lastTickTime = 0;
    std::int64_t lastTickMono = 0; // the awake clock (Clock::monotonicMs) at that tick
    std::int64_t nowKey = 0;       // TickKey of the second being handled
    std::int16_t trayBusy = 0;
    std::int16_t pressX = 0; // last press on the bare window, window pixels
    std::int16_t pressY = 0;
    std::int16_t arrowTop = 0;
    std::int16_t arrowDownTop = 0;
    int quitPass = 0;   // how many times QuitProgram has been entered
    bool ended = false; // the program has ended: no further event does anything
    bool unloading = false;
    Element* captured = nullptr; // element that received the last press (mouse capture)
    bool pressedBare = false;    // the last press was on the bare window
    QString programFolder;       // folder of the executable, no trailing separator
    QString dataFolder;          // holds wav/ and the supplied ledger; the program folder unless installed
    QString ledgerPath;          // the ledger in use
    // A missing ledger is created at start-up from `ledgerSeed` (the built-in records when empty)
    // instead of being a fatal error: the user's own ledger on its first start.
    bool seedLedger = false;
    QString ledgerSeed;
};

// ---- clock face -------------------------------------------------------------------------------
struct AnalogState {
    float centerX = 0; // half the dial's width, pixels; also the horizontal radius
    float centerY = 0;
    QPoint hourStart, hourEnd, minuteStart, minuteEnd, secondStart, secondEnd;
    std::array<float, 12> hotSpotLeft{}; // fractional positions before rounding to pixels
    std::array<float, 12> hotSpotTop{};
    int dialIndex = 0;
    QImage surface;     // the dial's drawing area (Format_RGB32), what picClock shows
    int drawnDial = -1; // the dial the surface was last drawn on; -1 = not drawn yet
    // Surface pixels that changed since the shell last showed the surface, one rectangle per hand
    // (the bounds of its previous and its new line, empty while it stands still); after a new dial
    // the first one is the whole surface. The shell empties them when it repaints.
    std::array<QRect, 3> changed{};
};

// ---- alarm, timer, announcer ------------------------------------------------------------------
struct AlarmState {
    QString alarmTime;     // "hh:mm:ss"
    QString editAlarmTime; // "hh:mm:ss" while in setting mode
    std::int16_t alarmSet = 0;
    std::int16_t alarmOff = 0;
    std::int16_t colonPhase = 0;
    std::int16_t countdownMinutes = 0;
    std::int16_t announceEvery = 0;
    // The local second (see TickKey) at which an armed alarm is due, 0 when none; lets a tick that
    // skipped seconds still ring it.
    std::int64_t alarmDue = 0;
    bool dragging = false; // the mark is being dragged
};

// ---- punch clock and ledger -------------------------------------------------------------------
struct ProjectRec {
    std::int16_t number = 0;
    std::int16_t hours = 0;
    std::int16_t minutes = 0;
    QString name;
};

// The ledger file as the program last read or wrote it: a save that finds another file there
// (edited by hand, replaced by a sync tool) keeps that one before writing.
struct LedgerFileMark {
    bool known = false;
    std::int64_t device = 0, inode = 0, size = 0, mtimeNs = 0;
    QByteArray bytes;
};

struct PunchState {
    std::int16_t punchMinutes = 0; // 9999 = off
    std::int16_t currentProject = 0;
    std::vector<ProjectRec> projects;
    bool legacyEncoding = false; // the file was read as Windows-1252 and is written back that way
    // The ledger has been read. Until then the records in memory are not the user's: a quit during
    // start-up (a session ending while a start-up message is open) must leave the file as it is.
    bool loaded = false;
    LedgerFileMark onDisk;
    // The last save failed and was reported; every full minute and every change tries again, and
    // only a new failure after a success is reported again.
    bool saveFailing = false;
    int unsavedMinutes = 0; // punched minutes of the selected project that the file does not hold yet
    QString lastSaveError;  // why the last save failed; empty after a success
};

// ---- tray -------------------------------------------------------------------------------------
struct TrayState {
    int iconIndex = 0;
    QString tip;
    bool added = false;
    // Where the icon's messages go: the main window's mouse move (x = message, y = 0), set by app/.
    void (*onMessage)(Vakto&, const MouseEv&) = nullptr;
};

// ---- windows ----------------------------------------------------------------------------------
struct MainModel {
    Element imgHeader, imgAuthor, imgHeaderX, imgHeaderV;
    std::array<Element, 13> imgPunchUp; // 1..12; 0 unused
    std::array<Element, 5> imgTime;
    std::array<Element, 7> imgSet;
    std::array<Element, 4> imgCorrect;
    std::array<Element, 5> imgAlarm;
    Element picClock;
    Element lblDescLeft, lblDescription, txtDescription, imgDescription;
    std::array<Element, 10> imgFixed;
    // children of picClock
    std::array<Element, 12> imgHotSpot;
    Element imgMark, imgCenter, imgPunch, imgEach;

    // Stacking, bottom to top, of the window's own elements and of the dial's children.
    std::vector<Element*> mainOrder;
    std::vector<Element*> dialOrder;
};

struct AlarmWindowModel {
    bool open = false;
    std::int16_t closeCountdown = 0;
    std::array<Element, 5> imgTime;
    Element cmdDone;
};

struct MenuItem {
    const char* name = "";
    QString caption;
    bool visible = true;
    bool enabled = true;
    bool isDefault = false;
    bool separator = false;
    // What choosing the item does; null for separators and inert items. Installed by app/, because
    // the actions (the alarm, quitting) lie above the tray that runs them.
    void (*onClick)(Vakto&) = nullptr;
};

enum MenuIndex { mnuOnOff, mnuState0, mnuState1, mnuTray1, mnuShow, mnuAbout, mnuTray2, mnuExit, MenuCount };

struct DepotModel {
    std::array<QString, 2> imgTrayIconTag{QStringLiteral("Alarm ON"), QStringLiteral("Alarm OFF")};
    std::array<MenuItem, MenuCount> mnuTray;
    std::array<QImage, 6> imgDial; // the dial faces, kept in core: DrawClock restores from them
};

constexpr std::int64_t SecondsPerDay = 86400;

// A local wall-clock second as one number: days since the Julian epoch * 86400 + seconds of the day.
std::int64_t TickKey(const QDateTime& localTime);

struct Vakto {
    explicit Vakto(Ports p, QString programFolder);
    Vakto(const Vakto&) = delete;
    Vakto& operator=(const Vakto&) = delete;

    Ports ports;
    AppState app;
    TimeState time;
    AnalogState analog;
    AlarmState alarm;
    PunchState punch;
    TrayState tray;
    MainModel main;
    AlarmWindowModel alarmWin;
    DepotModel depot;

    QString& curHour() { return time.curParts.hour; }
    QString& curMinute() { return time.curParts.minute; }
    QString& curSecond() { return time.curParts.second; }
    const QString& curTime() const { return time.curTime; }
};

// Fatal failure: report it (message box and standard error), end with a non-zero status, write nothing.
void Fail(Vakto& v, const QString& message);
