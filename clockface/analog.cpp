#include "clockface/analog.h"
void InitClock(Vakto& v) { v.analog.surface = v.depot.imgDial[0].copy(); DrawClock(v); }
void DrawClock(Vakto& v) { v.main.picClock.dirty = true; }
void PlaceAlarmMark(Vakto&) {}
void PlaceHotSpot(Vakto&) {}
float AngleOfPoint(float, float, float, float) { return 0; }
int DialIndexFor(std::int16_t) { return 0; }
void SetDial(Vakto& v, int) { DrawClock(v); }
void DialPoint(const Vakto&, double, double, double, float& x, float& y) { x = y = 0; }
