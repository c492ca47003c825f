#pragma once
#include "model/vakto.h"

// Sets alarmTime ("hh:mm:ss" or "" for the current minute), shows it, switches the alarm on when
// it lies ahead and computes the countdown. With nextDay, a time earlier than now means tomorrow
// (timers that cross midnight); otherwise only a time later today switches the alarm on.
void SetAlarm(Vakto& v, const QString& text, bool nextDay = false);
void ToggleAlarm(Vakto& v);
// "hh:mm:ss" of curTime plus a number of seconds, wrapping at midnight.
QString NowPlusSeconds(const Vakto& v, int seconds);
// Countdown minutes for an alarm lying `secondsAhead` in the future from curTime.
std::int16_t CountdownFor(const Vakto& v, const QString& alarmTime, std::int64_t secondsAhead);
// Seconds since midnight of an "hh:mm:ss" text.
int SecondsOfDay(const QString& hhmmss);
// TickKey of the second curTime was read at.
std::int64_t CurrentKey(const Vakto& v);

// A timer of `minutes` from now: presets, hot spots and accepted drag positions.
void StartTimer(Vakto& v, std::int16_t minutes);
// Click on the alarm digits: enter setting mode, or leave it and apply the edited time.
void ToggleSettingMode(Vakto& v);
// Arrow i (0 hour tens, 1 hour units, 2 minute tens, 3 minute units) steps editAlarmTime upwards.
void StepAlarmDigit(Vakto& v, int i);
// Minutes for a drag of the mark to `angle` degrees with the countdown at `countdown`;
// -1 when the move is refused (a jump across 12 o'clock).
std::int16_t DragMinutes(std::int16_t countdown, float angle);
// A drag-over at dial pixel (x, y).
void DragMarkTo(Vakto& v, int x, int y);

// Installs the handlers of the alarm digits, arrows, presets, hot spots, mark, dial and centre.
void InstallAlarmSettingHandlers(Vakto& v);
