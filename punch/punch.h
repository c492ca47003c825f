#pragma once
#include "app/vakto.h"

constexpr std::int16_t PunchOff = 9999;

void AdjustPunch(Vakto& v, std::int16_t n);
void ShowPunchMinutes(Vakto& v);
void InstallPunchHandlers(Vakto& v);
