#pragma once
#include "model/vakto.h"

// Snapping distances to the screen edges, pixels: left, top and right attract at a gap of 10 or
// less, the bottom at a gap of less than 10.
constexpr int SnapGap = 10;
// The pointer region at the screen's bottom right where the window does not follow, pixels.
constexpr int StillCornerWidth = 200;
constexpr int StillCornerHeight = 50;

// One drag step of the bare window: button is the mask of buttons held (1 left, 2 right,
// 4 middle); shift, x and y are not used, the pointer's screen position is read instead.
void DragAndSnap(Vakto& v, int button, int shift, int x, int y);
