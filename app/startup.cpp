#include "app/startup.h"

#include "alarm/alarmsetting.h"
#include "alarm/alarmstate.h"
#include "alarm/announcer.h"
#include "clockface/analog.h"
#include "digits/digits.h"
#include "model/timetext.h"
#include "punch/ledger.h"
#include "punch/punch.h"
#include "tray/systray.h"

#include <algorithm>

bool Startup(Vakto& v) {
    // The single-instance check runs in main(), before this object exists. The depot's pictures
    // are compiled in and decoded on first use: there is nothing to load.
    v.ports.window.show();
    AddTrayIcon(v);
    InitClock(v);
    PlaceHotSpot(v);
    UpdateTimeStrings(v);
    ShowTime(v, v.main.imgTime);
    ShowSeconds(v);
    v.alarm.alarmTime = v.curHour() + QLatin1Char(':') + v.curMinute() + QStringLiteral(":00");
    SetAlarm(v, QString());
    AdjustPunch(v, PunchOff);
    v.app.arrowTop = static_cast<std::int16_t>(v.main.imgCorrect[0].rect.top());
    v.app.arrowDownTop = static_cast<std::int16_t>(v.app.arrowTop + 2);
    SetAnnouncer(v, 15);
    return LoadProjects(v);
}

void Tick(Vakto& v) {
    if (v.app.ended) return;
    // The clock is read once: the hands, the time texts, the alarm match and the minute work all see
    // this one second. A second reading could fall into the next second, whose "00" work would then
    // run here and again at the next tick.
    const QDateTime now = v.ports.clock.now();
    const std::int64_t key = TickKey(now);
    if (key == v.app.lastTickTime) return;
    const std::int64_t mono = v.ports.clock.monotonicMs();
    const std::int64_t lastMono = v.app.lastTickMono;
    // A jump of more than one second (late timer, suspend, clock set forward) is a gap: what was due
    // inside it is caught up below instead of being lost.
    const std::int64_t last = v.app.lastTickTime;
    const bool forwardGap = last != 0 && key - last > 1;
    const bool setBack = last != 0 && key < last;
    v.app.lastTickTime = key;
    v.app.lastTickMono = mono;
    v.app.nowKey = key;

    DrawClock(v, now.time());
    UpdateTimeStrings(v, now.time());
    ShowSeconds(v);
    const bool fullMinute = v.curSecond() == QLatin1String("00");
    // After a jump the digits and the countdown catch up at once rather than at the next full minute.
    if (fullMinute || forwardGap || setBack) ShowTime(v, v.main.imgTime);
    if (setBack)
        CountdownAfterSetBack(v);
    else if (forwardGap)
        CountdownStep(v, FullMinutesPassed(last, key)); // the steps the missed ticks would have made
    else if (fullMinute)
        CountdownStep(v, 1);
    int punched = 0;
    if (v.punch.punchMinutes < PunchOff) {
        // Minutes that passed while the machine was awake count, also those of a stalled tick.
        punched = forwardGap ? AwakeFullMinutes(last, key, mono - lastMono) : fullMinute ? 1 : 0;
        for (int i = 0; i < punched; ++i)
            AdjustPunch(v, 1);
    }
    if (fullMinute || forwardGap) SaveAtFullMinute(v, punched);
    if (v.alarm.alarmSet == 1) ColonBlink(v);
    AlarmMatch(v, key, forwardGap ? last : 0);
    if (fullMinute) AnnouncerCheck(v);
}

void CatchUp(Vakto& v) {
    if (v.app.ended || v.app.lastTickTime == 0) return;
    if (v.ports.window.isVisible() && !v.ports.window.isMinimised()) return;
    Tick(v); // acts only when the second differs from the last one handled
}

std::int64_t NextTickKey(const Vakto& v, std::int64_t key) {
    if (v.app.ended) return 0;
    if (v.ports.window.isVisible() && !v.ports.window.isMinimised()) return key + 1;
    std::int64_t next = 0;
    const auto consider = [&](std::int64_t k) {
        if (k > key && (next == 0 || k < next)) next = k;
    };
    const std::int64_t nextMinute = (key / 60 + 1) * 60; // keys count local seconds from a whole day
    if (v.punch.punchMinutes < PunchOff || v.punch.saveFailing) consider(nextMinute);
    if (v.alarm.announceEvery > 0) {
        for (std::int64_t k = nextMinute; k <= nextMinute + 3600; k += 60) {
            if (IsAnnounceMinute(v.alarm.announceEvery, int(k / 60 % 60))) {
                consider(k);
                break;
            }
        }
    }
    if (v.alarm.alarmOff == 0) {
        consider(v.alarm.alarmDue);
        // The alarm also rings whenever the clock shows its time, so its next showing is due too.
        const QTime at = QTime::fromString(v.alarm.alarmTime, QStringLiteral("hh:mm:ss"));
        if (at.isValid()) {
            std::int64_t k = key - key % SecondsPerDay + at.msecsSinceStartOfDay() / 1000;
            if (k <= key) k += SecondsPerDay;
            consider(k);
        }
    }
    return next;
}

int AwakeFullMinutes(std::int64_t lastKey, std::int64_t key, std::int64_t awakeMs) {
    // The awake clock stands still in a suspend and does not follow a clock set forward: only the
    // seconds it saw pass were worked. Where in the gap they lay is unknown; they are taken from its
    // start (a machine suspends while the program sleeps between ticks, so little of it lies on
    // either side). A stall (blocked disk, swapping, SIGSTOP) sees the whole gap and counts it all.
    const std::int64_t awake = std::clamp<std::int64_t>((awakeMs + 500) / 1000, 0, key - lastKey);
    return int(std::min<std::int64_t>(FullMinutesPassed(lastKey, lastKey + awake), PunchMax));
}

void HideToTray(Vakto& v) {
    // Without a tray icon nothing could bring a hidden window back: minimise to the taskbar only.
    v.ports.window.setMinimised(true);
    if (v.ports.tray.isShown()) v.ports.window.hide();
}

bool OnCloseRequest(Vakto& v, bool userClose) {
    if (userClose && !v.app.ended) {
        HideToTray(v);
        return true;
    }
    v.ports.window.setMinimised(true);
    v.ports.window.hide();
    return false;
}

void OnUnload(Vakto& v) {
    QuitProgram(v);
}

void OnSessionEnd(Vakto& v) {
    QuitProgram(v);
}

void OnSessionSave(Vakto& v) {
    if (v.app.ended) return;
    SaveProjectsWithPunched(v);
}

void QuitProgram(Vakto& v) {
    if (v.app.ended) return;
    ++v.app.quitPass;
    // Minutes counted by a running punch clock belong to the selected project: hand them over
    // before the final save instead of dropping them.
    if (v.punch.punchMinutes != PunchOff && v.punch.currentProject > 0 &&
        v.punch.currentProject <= static_cast<int>(v.punch.projects.size())) {
        AddToProject(v);
        if (v.app.ended) return;
        v.punch.punchMinutes = PunchOff;
    }
    if (!SaveProjectsAtQuit(v)) return; // reported, and the program has ended
    RemoveTrayIcon(v);
    v.ports.window.unloadAbout();
    if (!v.app.unloading) {
        v.app.unloading = true;
        // Raises the close request and the unload, which enters here a second time and ends.
        v.ports.window.unload();
    }
    if (!v.app.ended) {
        v.app.ended = true;
        v.ports.window.endProgram(0);
    }
}
