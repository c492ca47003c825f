#pragma once
// Asynchronous WAV playback through the desktop's audio.

#include "app/ports.h"

#include <memory>

class QAudioOutput;
class QMediaPlayer;

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
    void ensurePlayer();
    void beep();

    // Created on the first play: the media framework is slow to load and rarely needed.
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    int m_beeps = 0;
};
