#pragma once
#include "model/vakto.h"

void SetAlarmState(Vakto& v, std::int16_t off);
// The countdown on the dial: the mark at countdownMinutes and the minutes in its two small digits.
void ShowCountdown(Vakto& v);
// No countdown: countdownMinutes 0, the mark at 12 o'clock and both digits blank.
void BlankCountdown(Vakto& v);
// Who rings: the sound is the same, the desktop's sound settings list the two apart.
enum class Ring { Alarm, Announcer };
void SoundAlarm(Vakto& v, Ring ring = Ring::Alarm);
void PlaySound(Vakto& v, const QString& name, std::int16_t flags, Ring ring = Ring::Alarm);
// What the sound server is told the ring is.
QString RingDescription(Ring ring);
// Tick steps: the blinking colon in setting mode, and the alarm match. gapFrom is the TickKey of the last second
// handled when the tick skipped seconds forward, 0 otherwise.
void ColonBlink(Vakto& v);
void AlarmMatch(Vakto& v, std::int64_t nowKey, std::int64_t gapFrom);

// The alarm window.
void BuildAlarmWindowModel(AlarmWindowModel& m);
void OpenAlarmWindow(Vakto& v);
void AlarmWindowTick(Vakto& v); // its own TimerAlarm
void AlarmWindowDone(Vakto& v); // cmdDone or a title-bar close
