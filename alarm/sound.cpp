#include "alarm/sound.h"

#include <QApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <canberra.h>

// Off by default; QT_LOGGING_RULES="vakto.sound.debug=true" shows every decision of a ring.
Q_LOGGING_CATEGORY(lcSound, "vakto.sound", QtWarningMsg)

namespace {
// The freedesktop sound theme's name for "a timer or alarm went off".
constexpr char ThemeEvent[] = "alarm-clock-elapsed";

// Runs on libcanberra's own thread: hands the result to the event loop and returns at once.
void OnFinished(ca_context*, std::uint32_t id, int error, void* userdata) {
    // Cancelled (a newer ring) and destroyed (the program ends) need nothing more.
    if (error == CA_ERROR_CANCELED || error == CA_ERROR_DESTROYED) return;
    auto* sound = static_cast<CanberraSound*>(userdata);
    QMetaObject::invokeMethod(
        sound, [sound, id, error] { sound->finished(id, error); }, Qt::QueuedConnection);
}
} // namespace

CanberraSound::CanberraSound() = default;

CanberraSound::~CanberraSound() {
    // Stops libcanberra's thread; callbacks still outstanding arrive with CA_ERROR_DESTROYED first.
    if (m_context) ca_context_destroy(m_context);
}

bool CanberraSound::ensureContext() {
    if (m_context) return true;
    if (m_contextFailed) return false;
    if (ca_context_create(&m_context) != CA_SUCCESS) {
        m_context = nullptr;
        m_contextFailed = true;
        return false;
    }
    // The audio server shows and keys its per-application volume by these.
    const QByteArray name = QApplication::applicationName().toUtf8();
    QByteArray id = QGuiApplication::desktopFileName().toUtf8();
    if (id.isEmpty()) id = name.toLower();
    ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, name.constData(), CA_PROP_APPLICATION_ID,
                            id.constData(), CA_PROP_APPLICATION_ICON_NAME, id.constData(), nullptr);
    return true;
}

bool CanberraSound::start(const char* key, const QByteArray& value) {
    ca_proplist* props = nullptr;
    if (ca_proplist_create(&props) != CA_SUCCESS) return false;
    ca_proplist_sets(props, key, value.constData());
    ca_proplist_sets(props, CA_PROP_EVENT_DESCRIPTION, m_description.constData());
    // "alarm", not "event": the audio server puts event streams under the desktop's alert-sound
    // volume, which many people turn down to silence beeps; alarm streams follow the output volume.
    ca_proplist_sets(props, CA_PROP_MEDIA_ROLE, "alarm");
    // Ids only grow, so a late report of an earlier playback can never pass for the current one.
    const std::uint32_t id = ++m_lastId;
    const int rc = ca_context_play_full(m_context, id, props, OnFinished, this);
    ca_proplist_destroy(props);
    qCDebug(lcSound) << "play" << key << value << "id" << id << "->" << ca_strerror(rc);
    m_current = rc == CA_SUCCESS ? id : 0;
    return rc == CA_SUCCESS;
}

void CanberraSound::play(const QString& path, const QString& description) {
    m_description = description.toUtf8();
    if (!ensureContext()) {
        beep();
        return;
    }
    // Replacing playback: the ring still sounding stops, the new one starts from its beginning.
    if (m_current != 0) ca_context_cancel(m_context, m_current);
    m_current = 0;
    const QFileInfo info(path);
    if (info.isFile() && start(CA_PROP_MEDIA_FILENAME, QFile::encodeName(info.absoluteFilePath()))) {
        m_outcome = Outcome::File;
        return;
    }
    playThemeEvent();
}

void CanberraSound::playThemeEvent() {
    if (start(CA_PROP_EVENT_ID, QByteArray(ThemeEvent))) {
        m_outcome = Outcome::ThemeEvent;
        return;
    }
    beep();
}

void CanberraSound::beep() {
    m_current = 0;
    m_outcome = Outcome::Beep;
    ++m_beeps;
    qCDebug(lcSound) << "beep";
    QApplication::beep();
}

void CanberraSound::finished(std::uint32_t id, int error) {
    if (id != m_current) return; // an earlier ring, already replaced
    m_current = 0;
    if (error == CA_SUCCESS) return;
    qCDebug(lcSound) << "playback" << id << "failed:" << ca_strerror(error);
    // The file failed while playing (cut short, unreadable): the theme's sound; the theme's failed: beep.
    if (m_outcome == Outcome::File)
        playThemeEvent();
    else
        beep();
}
