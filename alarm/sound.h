#pragma once
// Asynchronous WAV playback through the desktop's audio.

#include "app/ports.h"

class MediaSound : public SoundOutput {
public:
    void play(const QString& path) override;
};
