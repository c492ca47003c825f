#pragma once
#include "model/vakto.h"

// Tray messages as the main window's mouse move receives them: x = message, y = 0.
constexpr int TrayLeftDown = 513;
constexpr int TrayLeftDouble = 515;
constexpr int TrayRightUp = 517;

// The tray step of the bare window's mouse move.
void TrayStep(Vakto& v, const MouseEv& e);
// The action of tray menu item `item` (a MenuIndex); -1 (nothing chosen) and inert items do nothing.
void RunMenuItem(Vakto& v, int item);
// Shows the main window; with restore it first leaves the minimised state.
void ShowMainWindow(Vakto& v, bool restore);
