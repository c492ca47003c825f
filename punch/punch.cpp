#include "punch/punch.h"
void AdjustPunch(Vakto& v, std::int16_t n) { v.punch.punchMinutes = n; }
void ShowPunchMinutes(Vakto&) {}
void InstallPunchHandlers(Vakto&) {}
