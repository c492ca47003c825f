#pragma once
#include "model/vakto.h"

// Clock geometry: angles are 32-bit floats in radians, clockwise from 12 o'clock on screen; dial
// coordinates are pixels of picClock's drawing area, y downward.
constexpr double HourStep = 0.52359878;   // 30 degrees per hour
constexpr double MinuteStep = 0.10471976; // 6 degrees per minute or second

// Allocates the dial surface (once), sets the centre and the hands' start points, then DrawClock.
void InitClock(Vakto& v);
// Restores the dial picture and draws the three hands for the clock's time (read once); marks
// picClock dirty once, when finished.
void DrawClock(Vakto& v);
// The same for a time already read (the tick's one reading of the clock).
void DrawClock(Vakto& v, const QTime& t);
// imgMark centred on the countdown's minute.
void PlaceAlarmMark(Vakto& v);
// The twelve hot spots, visible and centred on the five-minute positions.
void PlaceHotSpot(Vakto& v);
// Bearing of (x, y) around (cx, cy) in degrees, clockwise from 12 o'clock (one degree high below
// the centre); 0 on the horizontal and vertical lines through the centre.
float AngleOfPoint(float cx, float cy, float x, float y);
// The dial change: picture index 0..5 for an announcer period, then DrawClock.
int DialIndexFor(std::int16_t announceEvery);
void SetDial(Vakto& v, int dialIndex);
// A point on the dial for value v counted with step s at radius factor r (not rounded).
void DialPoint(const Vakto& v, double value, double step, double factor, float& x, float& y);
// The same point rounded to whole pixels, nearest with ties to even. It rounds the exact (double)
// coordinates: storing them as float first would turn 68.5000034 into 68.5 and then 68.
QPoint RoundedDialPoint(const Vakto& v, double value, double step, double factor);
