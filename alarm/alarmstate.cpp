#include "alarm/alarmstate.h"

#include "clockface/analog.h"
#include "digits/digits.h"
#include "model/depot.h"
#include "tray/icons.h"
#include "tray/systray.h"

namespace {

constexpr int DoneLeft = 40, DoneTop = 96, DoneWidth = 105, DoneHeight = 25;
constexpr int TimeLeft[5] = {24, 48, 72, 80, 104};

} // namespace

void ShowCountdown(Vakto& v) {
    PlaceAlarmMark(v);
    ShowTwoDigits(v.main.imgSet[0], v.main.imgSet[1], v.alarm.countdownMinutes);
}

void BlankCountdown(Vakto& v) {
    v.alarm.countdownMinutes = 0;
    PlaceAlarmMark(v);
    SetPic(v.main.imgSet[0], Strip::imgSet, DigitBlank);
    SetPic(v.main.imgSet[1], Strip::imgSet, DigitBlank);
}

void SetAlarmState(Vakto& v, std::int16_t off) {
    v.alarm.alarmOff = off;
    const int i = off != 0 ? 1 : 0;
    SetPic(v.main.imgHeader, Strip::imgHeader, i);
    // The menu offers the opposite action: its caption is the other icon's tooltip.
    v.depot.mnuTray[mnuOnOff].caption = v.depot.imgTrayIconTag[static_cast<size_t>(1 - i)];
    SetWindowIcon(v, QStringLiteral("ICO%1").arg(i), -1);
    SetPic(v.main.imgCenter, Strip::imgCenter, i);
    v.tray.iconIndex = i;
    v.tray.tip = v.depot.imgTrayIconTag[static_cast<size_t>(i)];
    ChangeTrayIcon(v);
    if (off != 0) {
        v.alarm.alarmDue = 0;
        BlankCountdown(v);
        ClearAlarmDigits(v);
    }
}

void SoundAlarm(Vakto& v, Ring ring) {
    PlaySound(v, QStringLiteral("alarm"), 1, ring);
    OpenAlarmWindow(v);
}

QString RingDescription(Ring ring) {
    return ring == Ring::Announcer ? QStringLiteral("Interval announcer") : QStringLiteral("Timer or alarm");
}

void PlaySound(Vakto& v, const QString& name, std::int16_t flags, Ring ring) {
    // Asynchronous play is the only mode the sound port has; the flags have nothing left to select.
    Q_UNUSED(flags)
    v.ports.sound.play(v.app.dataFolder + QStringLiteral("/wav/") + name + QStringLiteral(".wav"),
                       RingDescription(ring));
}

void ColonBlink(Vakto& v) {
    Element& colon = v.main.imgAlarm[2];
    if (v.alarm.colonPhase == 0) {
        v.alarm.colonPhase = 1;
        SetPic(colon, Strip::imgTime, ColonOff);
    } else {
        v.alarm.colonPhase = 0;
        SetPic(colon, Strip::imgTime, ColonOn);
    }
}

void AlarmMatch(Vakto& v, std::int64_t nowKey, std::int64_t gapFrom) {
    if (v.alarm.alarmOff != 0) return;
    const bool onTime = v.alarm.alarmTime == v.curTime();
    // A forward jump over the due second still rings, once; a jump back never does.
    const bool missed = gapFrom != 0 && v.alarm.alarmDue > gapFrom && v.alarm.alarmDue <= nowKey;
    if (!onTime && !missed) return;
    SoundAlarm(v);
    SetAlarmState(v, 1);
    BlankCountdown(v);
}

void BuildAlarmWindowModel(AlarmWindowModel& m) {
    for (int i = 0; i < 5; ++i) {
        Element& e = m.imgTime[static_cast<size_t>(i)];
        e.name = "imgTime";
        e.index = static_cast<std::int16_t>(i);
        e.parent = Container::Alarm;
        e.pic = PicRef{Strip::imgTime, i == 2 ? ColonOn : DigitBlank};
        // Relative to the frame the digits sit in.
        e.rect = QRect(QPoint(TimeLeft[i], 24), PictureSize(e.pic));
    }
    m.cmdDone.name = "cmdDone";
    m.cmdDone.parent = Container::Alarm;
    m.cmdDone.rect = QRect(DoneLeft, DoneTop, DoneWidth, DoneHeight);
    m.cmdDone.text = QStringLiteral("Done");
    m.open = false;
    m.closeCountdown = 0;
}

void OpenAlarmWindow(Vakto& v) {
    AlarmWindowModel& w = v.alarmWin;
    // One alarm window at a time; an open one keeps its remaining time.
    if (w.open) return;
    w.open = true;
    w.closeCountdown = 2;
    SetText(w.cmdDone, QString::number(w.closeCountdown));
    ShowTime(v, w.imgTime);
}

void AlarmWindowTick(Vakto& v) {
    AlarmWindowModel& w = v.alarmWin;
    if (!w.open) return;
    if (w.closeCountdown <= 1) {
        w.open = false;
        return;
    }
    --w.closeCountdown;
    SetText(w.cmdDone, QString::number(w.closeCountdown));
}

void AlarmWindowDone(Vakto& v) {
    v.alarmWin.open = false;
}
