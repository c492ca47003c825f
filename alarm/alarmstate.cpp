#include "alarm/alarmstate.h"
void SetAlarmState(Vakto&, std::int16_t) {}
void SoundAlarm(Vakto&) {}
void PlaySound(Vakto&, const QString&, std::int16_t) {}
void ColonBlink(Vakto&) {}
void AlarmMatch(Vakto&, std::int64_t, std::int64_t) {}
void BuildAlarmWindowModel(AlarmWindowModel&) {}
void OpenAlarmWindow(Vakto&) {}
void AlarmWindowTick(Vakto&) {}
void AlarmWindowDone(Vakto&) {}
