#include "alarm/alarmsetting.h"

#include "alarm/alarmstate.h"
#include "clockface/analog.h"
#include "digits/digits.h"
#include "model/timetext.h"

#include <QTime>
#include <cmath>

namespace {

constexpr std::int16_t PresetMinutes[10] = {0, 1, 3, 5, 10, 15, 20, 30, 45, 60};

} // namespace

int SecondsOfDay(const QString& hhmmss) {
    const TimeParts p = SplitTime(hhmmss);
    return p.hour.toInt() * 3600 + p.minute.toInt() * 60 + p.second.toInt();
}

std::int64_t CurrentKey(const Vakto& v) {
    std::int64_t key = v.app.nowKey != 0 ? v.app.nowKey : TickKey(v.ports.clock.now());
    // Align with curTime, the second every time text was read at (a click arrives between ticks).
    std::int64_t d = SecondsOfDay(v.curTime()) - key % SecondsPerDay;
    if (d > SecondsPerDay / 2)
        d -= SecondsPerDay;
    else if (d < -SecondsPerDay / 2)
        d += SecondsPerDay;
    return key + d;
}

QString NowPlusSeconds(const Vakto& v, int seconds) {
    const QTime now = QTime(0, 0).addSecs(SecondsOfDay(v.curTime()));
    return FormatTime(now.addSecs(seconds));
}

std::int16_t CountdownFor(const Vakto& v, const QString& alarmTime, std::int64_t secondsAhead) {
    int minutes = SplitTime(alarmTime).minute.toInt() - SplitTime(v.curTime()).minute.toInt();
    if (minutes < 0) minutes += 60;
    // One to two hours ahead cannot be told by the minute field alone: the full hour is shown.
    if (secondsAhead / 3600 == 1) minutes = 60;
    return static_cast<std::int16_t>(minutes);
}

void SetAlarm(Vakto& v, const QString& text, bool nextDay) {
    QString t = text;
    if (t.isEmpty()) t = v.curHour() + QLatin1Char(':') + v.curMinute() + QStringLiteral(":00");
    v.alarm.alarmTime = PadTime(t);
    ShowAlarmDigits(v);

    std::int64_t ahead = SecondsOfDay(v.alarm.alarmTime) - SecondsOfDay(v.curTime());
    // A timer that wraps past midnight is due tomorrow; "now plus 0" stays not-ahead.
    if (ahead < 0 && nextDay) ahead += SecondsPerDay;
    if (ahead <= 0) {
        SetAlarmState(v, 1);
        BlankCountdown(v);
        return;
    }
    SetAlarmState(v, 0);
    v.alarm.alarmDue = CurrentKey(v) + ahead;
    v.alarm.countdownMinutes = CountdownFor(v, v.alarm.alarmTime, ahead);
    ShowCountdown(v);
}

void ToggleAlarm(Vakto& v) {
    if (v.alarm.alarmOff == 0) {
        SetAlarmState(v, 1);
        return;
    }
    // About four seconds' grace: a quick way to hear the sound and see the alarm window.
    v.alarm.alarmTime = NowPlusSeconds(v, 4);
    SetAlarm(v, v.alarm.alarmTime, true);
}

void StartTimer(Vakto& v, std::int16_t minutes) {
    v.alarm.countdownMinutes = minutes;
    PlaceAlarmMark(v);
    v.alarm.alarmTime = NowPlusSeconds(v, minutes * 60);
    SetAlarm(v, v.alarm.alarmTime, true);
}

void ToggleSettingMode(Vakto& v) {
    if (v.alarm.alarmSet == 0) {
        v.alarm.alarmSet = 1;
        ShowAlarmDigits(v);
        for (Element& e : v.main.imgCorrect)
            SetVisible(e, true);
        v.alarm.editAlarmTime = v.alarm.alarmTime;
        return;
    }
    v.alarm.alarmSet = 0;
    ClearAlarmDigits(v);
    for (Element& e : v.main.imgCorrect)
        SetVisible(e, false);
    // An armed alarm whose time was not changed stays exactly as it is: applying the same-day rule
    // again would switch off a timer that runs past midnight, and would recompute a countdown
    // that has been stepped down minute by minute.
    if (v.alarm.alarmOff == 0 && v.alarm.editAlarmTime == v.alarm.alarmTime) {
        ShowAlarmDigits(v);
        return;
    }
    SetAlarm(v, v.alarm.editAlarmTime);
}

void StepAlarmDigit(Vakto& v, int i) {
    const QString& s = v.alarm.editAlarmTime;
    int d[4] = {DigitAt(s, 0), DigitAt(s, 1), DigitAt(s, 3), DigitAt(s, 4)};
    if (i < 0 || i > 3) return;
    ++d[i];
    // The order matters: the hour units are checked after the tens wrapped, so 17 -> 20, 23 -> 03.
    if (d[0] == 3) d[0] = 0;
    if (d[1] == 10) d[1] = 0;
    if (d[0] == 2 && d[1] > 3) d[1] = 0;
    if (d[2] == 6) d[2] = 0;
    if (d[3] == 10) d[3] = 0;
    v.alarm.editAlarmTime = QStringLiteral("%1%2:%3%4:00").arg(d[0]).arg(d[1]).arg(d[2]).arg(d[3]);
    auto& a = v.main.imgAlarm;
    SetPic(a[0], Strip::imgTime, d[0]);
    SetPic(a[1], Strip::imgTime, d[1]);
    SetPic(a[2], Strip::imgTime, ColonOn);
    SetPic(a[3], Strip::imgTime, d[2]);
    SetPic(a[4], Strip::imgTime, d[3]);
}

std::int16_t DragMinutes(std::int16_t countdown, float angle) {
    const double a = std::nearbyint(static_cast<double>(angle));
    auto m = static_cast<std::int16_t>(std::nearbyint(a / 6.0));
    if (m == 0 && countdown == 59) m = 60;
    // The mark may not jump across 12 o'clock; 45 lies on neither side and is always taken.
    if (countdown >= 51 && m >= 0 && m <= 44) return -1;
    if (countdown <= 9 && m >= 46 && m <= 60) return -1;
    return m;
}

void DragMarkTo(Vakto& v, int x, int y) {
    const float a = AngleOfPoint(v.analog.centerX, v.analog.centerY, static_cast<float>(x), static_cast<float>(y));
    const std::int16_t m = DragMinutes(v.alarm.countdownMinutes, a);
    if (m < 0) return;
    StartTimer(v, m);
}

namespace {

void OnAlarmDigitClick(Vakto& v, int, const MouseEv&) {
    ToggleSettingMode(v);
}
void OnArrowClick(Vakto& v, int i, const MouseEv&) {
    StepAlarmDigit(v, i);
}
// Pressed arrows sit two pixels lower; only the top moves.
void OnArrowPress(Vakto& v, int i, const MouseEv&) {
    Element& e = v.main.imgCorrect[static_cast<size_t>(i)];
    SetPos(e, e.rect.left(), v.app.arrowDownTop);
}
void OnArrowRelease(Vakto& v, int i, const MouseEv&) {
    Element& e = v.main.imgCorrect[static_cast<size_t>(i)];
    SetPos(e, e.rect.left(), v.app.arrowTop);
}
void OnPresetClick(Vakto& v, int i, const MouseEv&) {
    StartTimer(v, PresetMinutes[i]);
}
void OnPresetMove(Vakto& v, int i, const MouseEv&) {
    for (int k = 0; k < 10; ++k)
        SetPic(v.main.imgFixed[static_cast<size_t>(k)], Strip::imgFixed, k);
    SetPic(v.main.imgFixed[static_cast<size_t>(i)], Strip::imgFixed, i + 10);
}
void OnHotSpotClick(Vakto& v, int i, const MouseEv&) {
    StartTimer(v, static_cast<std::int16_t>(5 * i));
}
void OnDialDragOver(Vakto& v, int, const MouseEv& e) {
    DragMarkTo(v, e.x, e.y);
}
void OnCenterClick(Vakto& v, int, const MouseEv&) {
    ToggleAlarm(v);
}

} // namespace

void InstallAlarmSettingHandlers(Vakto& v) {
    MainModel& m = v.main;
    for (Element& e : m.imgAlarm)
        e.onClick = OnAlarmDigitClick;
    for (Element& e : m.imgCorrect) {
        e.onClick = OnArrowClick;
        e.onPress = OnArrowPress;
        e.onRelease = OnArrowRelease;
    }
    for (Element& e : m.imgFixed) {
        e.onClick = OnPresetClick;
        e.onMove = OnPresetMove;
    }
    // Hot spots and the other images on the dial have no drag-over handler: a drag over them
    // stops there and does not move the mark.
    for (Element& e : m.imgHotSpot)
        e.onClick = OnHotSpotClick;
    m.imgMark.dragSource = true;
    m.picClock.onDragOver = OnDialDragOver;
    m.imgCenter.onClick = OnCenterClick;
}
