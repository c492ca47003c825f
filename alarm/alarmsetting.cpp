#include "alarm/alarmsetting.h"
void SetAlarm(Vakto&, const QString&, bool) {}
void ToggleAlarm(Vakto&) {}
QString NowPlusSeconds(const Vakto&, int) { return {}; }
std::int16_t CountdownFor(const Vakto&, const QString&, std::int64_t) { return 0; }
void InstallAlarmSettingHandlers(Vakto&) {}
