#pragma once
#include "model/vakto.h"

void SetAnnouncer(Vakto& v, std::int16_t minutes);
// The announcer button's cycle 0, 10, 15, 20, 30, 60, 0; any other value stays as it is.
std::int16_t NextAnnouncePeriod(std::int16_t minutes);
// True when minute (0..59) is announced with the given period.
bool IsAnnounceMinute(std::int16_t period, int minute);
void AnnouncerCheck(Vakto& v);
// The number of "00" seconds after the local second fromKey up to and including toKey (see TickKey).
std::int64_t FullMinutesPassed(std::int64_t fromKey, std::int64_t toKey);
// The countdown's per-minute step, taken `steps` times (more than once after a gap), never below 0.
void CountdownStep(Vakto& v, std::int64_t steps);
// After the clock was set back the countdown is recomputed from the alarm time.
void CountdownAfterSetBack(Vakto& v);
void InstallAnnouncerHandlers(Vakto& v);
