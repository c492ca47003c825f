#pragma once
#include "app/vakto.h"

void SetAnnouncer(Vakto& v, std::int16_t minutes);
// The announcer button's cycle 0, 10, 15, 20, 30, 60, 0; any other value stays as it is.
std::int16_t NextAnnouncePeriod(std::int16_t minutes);
// True when minute (0..59) is announced with the given period.
bool IsAnnounceMinute(std::int16_t period, int minute);
void AnnouncerCheck(Vakto& v);
// The countdown's step at a full minute; after a forward gap it is recomputed from the alarm time.
void CountdownStep(Vakto& v, bool afterGap);
void InstallAnnouncerHandlers(Vakto& v);
