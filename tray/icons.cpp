#include "tray/icons.h"
void SetWindowIcon(Vakto& v, const QString& iconName, std::int16_t) { v.ports.window.setIcon(iconName); }
