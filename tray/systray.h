#pragma once
#include "model/vakto.h"

void AddTrayIcon(Vakto& v);
void ChangeTrayIcon(Vakto& v);
void RemoveTrayIcon(Vakto& v);
