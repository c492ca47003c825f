#pragma once
#include "app/vakto.h"

// Tray messages as the main window's mouse move receives them: x = message, y = 0.
constexpr int TrayLeftDown = 513;
constexpr int TrayLeftDouble = 515;
constexpr int TrayRightUp = 517;

void TrayStep(Vakto& v, const MouseEv& e);
void RunMenuItem(Vakto& v, int item);
void ShowMainWindow(Vakto& v, bool restore);
