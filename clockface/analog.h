#pragma once
#include "app/vakto.h"

void InitClock(Vakto& v);
// Restores the dial picture and draws the three hands; marks picClock dirty once, when finished.
void DrawClock(Vakto& v);
void PlaceAlarmMark(Vakto& v);
void PlaceHotSpot(Vakto& v);
float AngleOfPoint(float cx, float cy, float x, float y);
// The dial change: picture index 0..5 for an announcer period, then DrawClock.
int DialIndexFor(std::int16_t announceEvery);
void SetDial(Vakto& v, int dialIndex);
// A point on the dial for value v counted with step s at radius factor r (not rounded).
void DialPoint(const Vakto& v, double value, double step, double factor, float& x, float& y);
