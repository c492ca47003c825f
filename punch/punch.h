#pragma once
// The punch clock: its on/off state, the minute counter and its three small digits, the punch
// button and the twelve project buttons.
#include "model/vakto.h"

// punchMinutes while the punch clock is off.
constexpr std::int16_t PunchOff = 9999;
// Counting stops here, one short of PunchOff, so a long session never turns the clock "off".
constexpr std::int16_t PunchMax = 9998;
// The largest count the three digits can show; beyond it they stay at 999.
constexpr std::int16_t PunchShownMax = 999;

void AdjustPunch(Vakto& v, std::int16_t n);
void ShowPunchMinutes(Vakto& v);
void PunchButtonClick(Vakto& v);
void ProjectButtonPress(Vakto& v, int k);
void InstallPunchHandlers(Vakto& v);
