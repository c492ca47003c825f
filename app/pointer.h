#pragma once
// Routes pointer events of the main window to the elements, as a window system with mouse
// capture does: the element that received a press receives the moves and the release; a click
// is a press and a release on the same element; while the mark is dragged, drag-over events go
// to whatever lies under the pointer. Window pixels throughout.
#include "model/vakto.h"

// `button`: the button pressed or released (1 left, 2 right, 4 middle); `buttons`: the mask held.
void PointerPress(Vakto& v, QPoint at, int button);
void PointerMove(Vakto& v, QPoint at, int buttons);
void PointerRelease(Vakto& v, QPoint at, int button, int buttonsStillHeld);
