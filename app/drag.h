#pragma once
#include "app/vakto.h"

void DragAndSnap(Vakto& v, int button, int shift, int x, int y);
