#include "clockface/wuline.h"
#include "app/vakto.h"
void DrawWuLine(QImage&, const QPoint&, const QPoint&, const ArgbColor&, std::int16_t) {}
void DrawHand(Vakto&, const QString&) {}
