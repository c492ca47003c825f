#include "alarm/announcer.h"
void SetAnnouncer(Vakto&, std::int16_t) {}
std::int16_t NextAnnouncePeriod(std::int16_t) { return 0; }
void AnnouncerCheck(Vakto&) {}
void CountdownStep(Vakto&, bool) {}
void InstallAnnouncerHandlers(Vakto&) {}
