#pragma once
#include "model/vakto.h"

// The digit at position pos of a text. A character that is not a digit, or no character, counts as
// 0, so every index taken from a text stays inside its strip.
int DigitAt(const QString& s, int pos);
// Which element array a time row lives in: the main window's or the alarm window's imgTime.
void ShowTime(Vakto& v, std::array<Element, 5>& imgTime);
void ShowSeconds(Vakto& v);
void ShowAlarmDigits(Vakto& v);
void ClearAlarmDigits(Vakto& v);
// Shows a value 0..99 in two small digits (countdown), leading zero shown.
void ShowTwoDigits(Element& tens, Element& units, int value);
