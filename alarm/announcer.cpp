#include "alarm/announcer.h"

#include "alarm/alarmsetting.h"
#include "alarm/alarmstate.h"
#include "clockface/analog.h"

#include <algorithm>

namespace {

void OnEachClick(Vakto& v, int, const MouseEv&) {
    SetAnnouncer(v, NextAnnouncePeriod(v.alarm.announceEvery));
}

} // namespace

void SetAnnouncer(Vakto& v, std::int16_t minutes) {
    v.alarm.announceEvery = minutes;
    const int dialIndex = DialIndexFor(minutes);
    SetDial(v, dialIndex);
    SetPic(v.main.imgEach, Strip::imgEach, dialIndex);
}

std::int16_t NextAnnouncePeriod(std::int16_t minutes) {
    switch (minutes) {
    case 0:
        return 10;
    case 10:
        return 15;
    case 15:
        return 20;
    case 20:
        return 30;
    case 30:
        return 60;
    case 60:
        return 0;
    default:
        return minutes; // not a period the button produces: left as it is
    }
}

bool IsAnnounceMinute(std::int16_t period, int minute) {
    switch (period) {
    case 10:
    case 15:
    case 20:
    case 30:
    case 60:
        return minute % period == 0;
    default:
        return false;
    }
}

void AnnouncerCheck(Vakto& v) {
    if (v.alarm.announceEvery <= 0 || v.curSecond() != QLatin1String("00")) return;
    bool ok = false;
    const int minute = v.curMinute().toInt(&ok);
    if (ok && IsAnnounceMinute(v.alarm.announceEvery, minute)) SoundAlarm(v, Ring::Announcer);
}

std::int64_t FullMinutesPassed(std::int64_t fromKey, std::int64_t toKey) {
    // Keys count local seconds from a whole day, so every multiple of 60 is a "00" second.
    if (toKey <= fromKey) return 0;
    return toKey / 60 - fromKey / 60;
}

void CountdownStep(Vakto& v, std::int64_t steps) {
    AlarmState& a = v.alarm;
    if (steps <= 0 || a.countdownMinutes <= 0) return;
    // Never below 0: a countdown that reached 00 keeps showing 00 until the alarm rings.
    a.countdownMinutes = static_cast<std::int16_t>(std::max<std::int64_t>(0, a.countdownMinutes - steps));
    ShowCountdown(v);
}

void CountdownAfterSetBack(Vakto& v) {
    AlarmState& a = v.alarm;
    if (a.alarmOff != 0) return;
    // The alarm rings when the clock next reads alarmTime: after the clock was set back that is
    // later than the countdown had counted to, so the countdown is computed afresh, as SetAlarm does.
    std::int64_t ahead = SecondsOfDay(a.alarmTime) - SecondsOfDay(v.curTime());
    if (ahead < 0) ahead += SecondsPerDay;
    if (ahead > 0) a.alarmDue = CurrentKey(v) + ahead;
    a.countdownMinutes = ahead > 0 ? CountdownFor(v, a.alarmTime, ahead) : 0;
    ShowCountdown(v);
}

void InstallAnnouncerHandlers(Vakto& v) {
    v.main.imgEach.onClick = OnEachClick;
}
