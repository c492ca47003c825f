#pragma once
#include "clockface/pixlib.h"

#include <QImage>
#include <QPoint>

struct Vakto;

// Wu-style anti-aliased line of a whole-pixel width on a Format_RGB32 image; pixels outside the
// image are neither read nor written.
void DrawWuLine(QImage& surface, const QPoint& from, const QPoint& to, const ArgbColor& colour, std::int16_t width);
// "H", "M" or "S": one clock hand on the dial surface; any other text draws nothing.
void DrawHand(Vakto& v, const QString& letter);
