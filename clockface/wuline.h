#pragma once
#include "clockface/pixlib.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <array>

struct Vakto;

// Wu-style anti-aliased line of a whole-pixel width: per step along the major axis two blended edge
// pixels and a solid core between them. Pixels are read and written one at a time, so every blend
// sees what was drawn before it. Pixels outside the image are neither read nor written, nor, when
// `clip` holds a rectangle, those outside all of its rectangles: the pixels inside come out as the
// unclipped line draws them. Fast on Format_RGB32/ARGB32 surfaces; other formats go through
// QImage::pixel/setPixel.
void DrawWuLine(QImage& surface, const QPoint& from, const QPoint& to, const ArgbColor& colour, std::int16_t width,
                const std::array<QRect, 3>& clip = {});
// Every pixel DrawWuLine may touch for these arguments (empty when it draws nothing), not clipped to
// any surface: what a repaint after moving the line must cover.
QRect WuLineBounds(const QPoint& from, const QPoint& to, std::int16_t width);
// The same for one clock hand ("H", "M" or "S") at its current start and end points.
QRect HandBounds(const Vakto& v, const QString& letter);
// "H", "M" or "S": one clock hand on the dial surface, clipped as DrawWuLine; any other text draws
// nothing.
void DrawHand(Vakto& v, const QString& letter, const std::array<QRect, 3>& clip = {});
