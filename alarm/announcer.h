#pragma once
#include "app/vakto.h"

void SetAnnouncer(Vakto& v, std::int16_t minutes);
std::int16_t NextAnnouncePeriod(std::int16_t minutes);
void AnnouncerCheck(Vakto& v);
// The countdown's step at a full minute; after a forward gap it is recomputed from the alarm time.
void CountdownStep(Vakto& v, bool afterGap);
void InstallAnnouncerHandlers(Vakto& v);
