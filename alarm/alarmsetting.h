#pragma once
#include "app/vakto.h"

// Sets alarmTime ("hh:mm:ss" or "" for the current minute), shows it, switches the alarm on when
// it lies ahead and computes the countdown. With nextDay, a time earlier than now means tomorrow
// (timers that cross midnight); otherwise only a time later today switches the alarm on.
void SetAlarm(Vakto& v, const QString& text, bool nextDay = false);
void ToggleAlarm(Vakto& v);
// "hh:mm:ss" of curTime plus a number of seconds, wrapping at midnight.
QString NowPlusSeconds(const Vakto& v, int seconds);
// Countdown minutes for an alarm lying `secondsAhead` in the future from curTime.
std::int16_t CountdownFor(const Vakto& v, const QString& alarmTime, std::int64_t secondsAhead);

// Installs the handlers of the alarm digits, arrows, presets, hot spots, mark, dial and centre.
void InstallAlarmSettingHandlers(Vakto& v);
