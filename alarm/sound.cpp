#include "alarm/sound.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

MediaSound::MediaSound() = default;

MediaSound::~MediaSound() {
    // The player's code lives in the library: destroy it before the library could go. The library
    // itself stays loaded until the process ends (its Qt types are registered globally).
    m_player.reset();
}

bool MediaSound::loadPlayer() {
    if (m_loadTried) return m_player != nullptr;
    m_loadTried = true;
    // The library is a resource of the program, so that the program stays one file: it is
    // written to an anonymous in-memory file and loaded from there.
    QFile res(QStringLiteral(":/libvakto_sound.so"));
    if (!res.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = res.readAll();
    const int fd = ::memfd_create("vakto_sound", MFD_CLOEXEC);
    if (fd < 0) return false;
    bool written = true;
    for (qsizetype done = 0; written && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        written = n > 0;
        done += written ? n : 0;
    }
    if (written)
        m_library = ::dlopen(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), RTLD_NOW | RTLD_LOCAL);
    ::close(fd);
    if (!m_library) return false;
    using Create = SoundOutput* (*)();
    auto create = reinterpret_cast<Create>(::dlsym(m_library, "vakto_sound_create"));
    if (create) m_player.reset(create());
    return m_player != nullptr;
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
    if (!loadPlayer()) {
        beep();
        return;
    }
    m_player->play(info.absoluteFilePath());
}
