#pragma once
#include "model/vakto.h"

// Which element array a time row lives in: the main window's or the alarm window's imgTime.
void ShowTime(Vakto& v, std::array<Element, 5>& imgTime);
void ShowSeconds(Vakto& v);
void ShowAlarmDigits(Vakto& v);
void ClearAlarmDigits(Vakto& v);
// Shows a value 0..99 in two small digits (countdown), leading zero shown.
void ShowTwoDigits(Vakto& v, Element& tens, Element& units, int value);
