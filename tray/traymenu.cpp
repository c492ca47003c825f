#include "tray/traymenu.h"

void ShowMainWindow(Vakto& v, bool restore) {
    if (restore) v.ports.window.setMinimised(false);
    v.ports.window.show();
}

void RunMenuItem(Vakto& v, int item) {
    if (item < 0 || item >= MenuCount) return; // nothing chosen
    if (const auto action = v.depot.mnuTray[std::size_t(item)].onClick) action(v);
}

void TrayStep(Vakto& v, const MouseEv& e) {
    // Tray messages come with y = 0 and no button. An ordinary move with a button held is never one,
    // even when a drag captured the pointer outside the window at y 0 and x 513.
    if (e.y != 0 || e.button != 0) return;
    // trayBusy refuses the messages that arrive while one is handled (the menu is open).
    if (v.app.trayBusy != 0) return;
    v.app.trayBusy = -1;
    switch (e.x) {
    case TrayLeftDown:
        ShowMainWindow(v, true);
        break;
    case TrayLeftDouble:
        ShowMainWindow(v, false);
        break;
    case TrayRightUp:
        RunMenuItem(v, v.ports.tray.popupMenu(v.ports.window.cursorPos()));
        break;
    default:
        break;
    }
    v.app.trayBusy = 0;
}
