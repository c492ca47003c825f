#pragma once
#include "model/vakto.h"

void SetAlarmState(Vakto& v, std::int16_t off);
// The countdown on the dial: the mark at countdownMinutes and the minutes in its two small digits.
void ShowCountdown(Vakto& v);
// No countdown: countdownMinutes 0, the mark at 12 o'clock and both digits blank.
void BlankCountdown(Vakto& v);
void SoundAlarm(Vakto& v);
void PlaySound(Vakto& v, const QString& name, std::int16_t flags);
// Tick steps: the blinking colon in setting mode, and the alarm match. gapFrom is the TickKey of the last second
// handled when the tick skipped seconds forward, 0 otherwise.
void ColonBlink(Vakto& v);
void AlarmMatch(Vakto& v, std::int64_t nowKey, std::int64_t gapFrom);

// The alarm window.
void BuildAlarmWindowModel(AlarmWindowModel& m);
void OpenAlarmWindow(Vakto& v);
void AlarmWindowTick(Vakto& v); // its own TimerAlarm
void AlarmWindowDone(Vakto& v); // cmdDone or a title-bar close
