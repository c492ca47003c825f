#include "tray/systray.h"
void AddTrayIcon(Vakto&) {}
void ChangeTrayIcon(Vakto&) {}
void RemoveTrayIcon(Vakto&) {}
