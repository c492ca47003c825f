#include "tray/systray.h"

namespace {
const QString AddFailed = QStringLiteral("Unable to add icon to system tray");
const QString ChangeFailed = QStringLiteral("Unable to change icon in system tray");
} // namespace

void AddTrayIcon(Vakto& v) {
    // The icon always starts with the alarm-on picture; the alarm state set later in start-up
    // replaces it at once.
    v.tray.iconIndex = 0;
    v.tray.tip = v.depot.imgTrayIconTag[0];
    v.tray.added = true;
    // Without a tray the port keeps icon and tip and shows them when a tray appears.
    if (!v.ports.tray.add(v.tray.iconIndex, v.tray.tip)) v.ports.dialogs.message(AddFailed);
}

void ChangeTrayIcon(Vakto& v) {
    if (!v.tray.added) return;
    // While no icon is shown (no tray yet) a failed change is expected: the port remembers the new
    // state for when the tray appears, and nothing is worth telling the user at every alarm change.
    if (!v.ports.tray.change(v.tray.iconIndex, v.tray.tip) && v.ports.tray.isShown())
        v.ports.dialogs.message(ChangeFailed);
}

void RemoveTrayIcon(Vakto& v) {
    // Removing an icon that is not there (the second pass of quitting) is silent.
    v.ports.tray.remove();
    v.tray.added = false;
}
