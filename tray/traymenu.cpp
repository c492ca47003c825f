#include "tray/traymenu.h"

#include "alarm/alarmsetting.h"
#include "app/startup.h"

void ShowMainWindow(Vakto& v, bool restore) {
    if (restore) v.ports.window.setMinimised(false);
    v.ports.window.show();
}

void RunMenuItem(Vakto& v, int item) {
    switch (item) {
    case mnuOnOff:
        ToggleAlarm(v);
        break;
    case mnuShow:
        ShowMainWindow(v, true);
        break;
    case mnuAbout:
        v.ports.window.showAbout();
        break;
    case mnuExit:
        QuitProgram(v);
        break;
    default:
        break; // nothing chosen, or an item without an action
    }
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
