#include "tray/traymenu.h"
void TrayStep(Vakto&, const MouseEv&) {}
void RunMenuItem(Vakto&, int) {}
void ShowMainWindow(Vakto&, bool) {}
