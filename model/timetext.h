#pragma once
#include "model/vakto.h"

// Refreshes curTime and curParts from the injected clock.
void UpdateTimeStrings(Vakto& v);
// The same from a reading already taken (the tick's one reading of the clock).
void UpdateTimeStrings(Vakto& v, const QTime& t);
// Puts a "0" in front when the second character is ":" (a one-digit hour).
QString PadTime(const QString& text);
// Cuts "hh:mm:ss" at fixed positions.
TimeParts SplitTime(const QString& text);
// "hh:mm:ss" of a time of day, 24-hour, independent of the locale.
QString FormatTime(const QTime& t);
