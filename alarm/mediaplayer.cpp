// The media framework side of the sound output, built as a small shared library that the
// program loads on its first ring: Qt Multimedia and the audio libraries under it cost start-up
// time and memory that a clock which rings a few times a day should not pay at start.

#include "app/ports.h"

#include <QApplication>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace {
class MediaPlayerSound : public SoundOutput {
public:
    ~MediaPlayerSound() override {
        // The player refers to its output: it goes first.
        delete m_player;
        delete m_output;
    }

    void play(const QString& path) override {
        ensurePlayer();
        const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        if (m_player->source() != url)
            m_player->setSource(url);
        else
            m_player->stop(); // back to the beginning: a new ring restarts the sound
        m_player->play();
    }

private:
    void ensurePlayer() {
        if (m_player) return;
        m_output = new QAudioOutput();
        m_output->setVolume(1.0f);
        m_player = new QMediaPlayer();
        m_player->setAudioOutput(m_output);
        // A file the framework cannot decode sounds like a missing one. Errors of the audio device
        // itself stay silent.
        QObject::connect(m_player, &QMediaPlayer::errorOccurred, m_player,
                         [](QMediaPlayer::Error error, const QString&) {
                             if (error == QMediaPlayer::ResourceError || error == QMediaPlayer::FormatError)
                                 QApplication::beep();
                         });
    }

    QAudioOutput* m_output = nullptr;
    QMediaPlayer* m_player = nullptr;
};
} // namespace

extern "C" __attribute__((visibility("default"))) SoundOutput* vakto_sound_create() {
    return new MediaPlayerSound();
}
