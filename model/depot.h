#pragma once
#include "model/vakto.h"

#include <QString>

// Resource path of a depot picture, e.g. ":/depot/imgTime_3.png"; tray icons take a size (16 or 32).
QString DepotPath(PicRef ref, int iconSize = 32);
// Number of indexes of a strip and the first one (imgPunchUp and imgPunchDn start at 1).
int StripFirst(Strip s);
int StripCount(Strip s);
const char* StripName(Strip s);
// Readies what the core itself draws with (the dial faces). False when the pictures are missing.
bool LoadDepot(Vakto& v);
// Dial face i (0..5) as Format_RGB32, decoded the first time it is asked for.
const QImage& DialImage(Vakto& v, int i);
