#pragma once
#include "model/vakto.h"

void SetWindowIcon(Vakto& v, const QString& iconName, std::int16_t alsoOwner);
