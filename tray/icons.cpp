#include "tray/icons.h"

void SetWindowIcon(Vakto& v, const QString& iconName, std::int16_t alsoOwner) {
    // The main window is a top-level window without an owner, so it is its own top-level owner:
    // alsoOwner names the same window and changes nothing more. The port sets both icon sizes.
    (void)alsoOwner;
    v.ports.window.setIcon(iconName);
}
