#pragma once
// Asynchronous event sound through libcanberra, the library the desktops' own notification sounds
// go through (its PulseAudio backend also reaches PipeWire).

#include "model/ports.h"

#include <QObject>
#include <cstdint>

struct ca_context;

class CanberraSound : public QObject, public SoundOutput {
    Q_OBJECT
public:
    // What the last ring ended up as, so far as known on the event loop's thread.
    enum class Outcome { None, File, ThemeEvent, Beep };

    CanberraSound();
    ~CanberraSound() override;
    // Returns at once and never waits for a result; a sound still playing is cancelled and the new one
    // starts from its beginning. A file that is missing or cannot be played gives the sound theme's
    // alarm event, and only when that fails too the desktop's beep.
    void play(const QString& path, const QString& description) override;

    Outcome outcome() const { return m_outcome; }
    int beeps() const { return m_beeps; }
    // Called on the event loop's thread with the end of playback `id`; a failure of the current ring
    // moves it on to its next fallback. Public so that tests can report an asynchronous failure.
    void finished(std::uint32_t id, int error);

private:
    bool ensureContext();
    void playThemeEvent();
    void beep();
    // Starts playback under a new id; false when libcanberra refused it at once.
    bool start(const char* key, const QByteArray& value);

    ca_context* m_context = nullptr;
    bool m_contextFailed = false;
    std::uint32_t m_current = 0; // id of the playback the current ring waits on; 0 = none
    std::uint32_t m_lastId = 0;
    QByteArray m_description; // of the current ring, for its fallbacks too
    Outcome m_outcome = Outcome::None;
    int m_beeps = 0;
};
