#pragma once
// Asynchronous WAV playback through the desktop's audio.

#include "app/ports.h"

#include <memory>

class MediaSound : public SoundOutput {
public:
    MediaSound();
    ~MediaSound() override;
    // Returns at once; a sound still playing is stopped and the new one starts from its beginning.
    // A missing or unreadable file gives the desktop's beep; no audio device gives silence.
    void play(const QString& path) override;
    // For tests: how often the fallback beep was given.
    int beeps() const { return m_beeps; }

private:
    bool loadPlayer();
    void beep();

    // The media player lives in a library carried inside the program and loaded on first play.
    std::unique_ptr<SoundOutput> m_player;
    void* m_library = nullptr;
    bool m_loadTried = false;
    int m_beeps = 0;
};
