#include "alarm/sound.h"

void MediaSound::play(const QString&) {}
