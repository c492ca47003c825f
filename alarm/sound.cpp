#include "alarm/sound.h"

#include <QApplication>
#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

MediaSound::MediaSound() = default;

MediaSound::~MediaSound() {
    // The player refers to its output: it goes first.
    m_player.reset();
    m_output.reset();
}

void MediaSound::ensurePlayer() {
    if (m_player) return;
    m_output = std::make_unique<QAudioOutput>();
    m_output->setVolume(1.0f);
    m_player = std::make_unique<QMediaPlayer>();
    m_player->setAudioOutput(m_output.get());
    // A file the framework cannot decode sounds like a missing one. Errors of the audio device
    // itself stay silent.
    QObject::connect(m_player.get(), &QMediaPlayer::errorOccurred, m_player.get(),
                     [this](QMediaPlayer::Error error, const QString&) {
                         if (error == QMediaPlayer::ResourceError || error == QMediaPlayer::FormatError) beep();
                     });
}

void MediaSound::beep() {
    ++m_beeps;
    QApplication::beep();
}

void MediaSound::play(const QString& path) {
    const QFileInfo info(path);
    QFile probe(path);
    if (!info.isFile() || !probe.open(QIODevice::ReadOnly) || probe.size() == 0) {
        beep();
        return;
    }
    probe.close();
    ensurePlayer();
    const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    if (m_player->source() != url)
        m_player->setSource(url);
    else
        m_player->stop(); // back to the beginning: a new ring restarts the sound
    m_player->play();
}
