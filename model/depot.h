#pragma once
#include "model/vakto.h"

#include <QSize>
#include <QString>

// Resource path of a depot picture, e.g. ":/depot/imgTime_3.png"; tray icons take a size (16 or 32).
// Empty for a picture the table of pictures does not hold.
QString DepotPath(PicRef ref, int iconSize = 32);
// Size of a depot picture as the table of pictures gives it; empty for a picture it does not hold.
QSize PictureSize(PicRef ref);
// Dial face i (0..5) as Format_RGB32, decoded the first time it is asked for (one or two of the six
// are shown in a typical run); the other pictures are the shell's, decoded as it paints them.
const QImage& DialImage(Vakto& v, int i);
