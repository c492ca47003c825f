#include "app/shell.h"

#include "about/frmabout.h"
#include "alarm/frmalarm.h"
#include "app/frmvakto.h"
#include "app/startup.h"

#include <QDateTime>
#include <QEvent>
#include <algorithm>

Shell::Shell(Vakto& v) : m_v(v) {
    m_main = new FrmVakto(*this);
    m_timer1.setSingleShot(true);
    m_timer1.setTimerType(Qt::PreciseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &Shell::tickNow);
    // A clock set forward or back ends the wait as well: the tick then reads the new time, and
    // the core's gap rules decide what was due.
    connect(&m_wall, &WallTimer::fired, this, &Shell::tickNow);
    m_main->installEventFilter(this);
}

Shell::~Shell() {
    delete m_alarm.data();
    delete m_about.data();
    delete m_main;
}

FrmAlarm* Shell::alarmWindow() {
    return m_alarm;
}
FrmAbout* Shell::aboutWindow() {
    return m_about;
}

void Shell::sync() {
    syncWith(false);
    // Hidden, the deadline depends on what is on (an alarm switched from the tray menu, a punch
    // clock stopped); shown, the next second is armed anyway.
    if (m_ticking && !(m_main->isVisible() && !m_main->isMinimized())) armTick();
}

void Shell::syncNow() {
    syncWith(true);
}

void Shell::syncWith(bool now) {
    m_main->sync(now);
    if (m_v.alarmWin.open && !m_alarm) {
        m_alarm = new FrmAlarm(*this);
        m_alarm->show();
    } else if (!m_v.alarmWin.open && m_alarm) {
        m_alarm->close();
        m_alarm->deleteLater();
        m_alarm = nullptr;
    }
    if (m_alarm) m_alarm->sync();
}

void Shell::startTicking() {
    m_ticking = true;
    armTick();
}

namespace {
// The UTC time of a local second (see TickKey). A local time that does not exist (inside a
// spring-forward hour) comes out as the first second after the gap.
std::int64_t KeyToUtcMs(std::int64_t key) {
    const QDateTime local(QDate::fromJulianDay(key / SecondsPerDay),
                          QTime::fromMSecsSinceStartOfDay(int(key % SecondsPerDay) * 1000));
    return local.toMSecsSinceEpoch();
}
} // namespace

void Shell::armTick() {
    if (m_v.app.ended) {
        m_wall.disarm();
        m_timer1.stop();
        return;
    }
    // A periodic 1000 ms timer drifts against the wall clock and sooner or later skips a second;
    // re-arming for just after the next boundary sees every second exactly once.
    // The sub-second phase is the same in UTC as in local time; reading it in UTC costs no time
    // zone lookup.
    const std::int64_t nowMs = QDateTime::currentMSecsSinceEpoch();
    const std::int64_t nextSecond = (nowMs / 1000 + 1) * 1000 + 5;
    const std::int64_t last = m_v.app.lastTickTime;
    const std::int64_t next = last == 0 ? last + 1 : NextTickKey(m_v, last);
    std::int64_t at = nextSecond;
    if (next == 0) {
        // Nothing is due until the user does something (and then sync() arms again).
        m_wall.disarm();
        m_timer1.stop();
        return;
    }
    if (next != last + 1) at = std::max(KeyToUtcMs(next) + 5, nextSecond);
    if (m_wall.isValid()) {
        m_wall.armAt(at);
    } else {
        m_timer1.start(int(std::min<std::int64_t>(at - nowMs, 24 * 3600 * 1000)));
    }
}

void Shell::tickNow() {
    Tick(m_v);
    // Painted and sent within this wakeup: a deferred update would post an event and go round the
    // event loop once more, every second.
    syncNow();
    armTick();
}

bool Shell::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_main && m_ticking &&
        (e->type() == QEvent::Show || (e->type() == QEvent::WindowStateChange && !m_main->isMinimized()))) {
        // Posted: a show comes from inside a core procedure (the tray's click), which must end
        // before the tick runs. The window system's first expose comes later still.
        if (!m_wakePosted) {
            m_wakePosted = true;
            QMetaObject::invokeMethod(this, &Shell::wake, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, e);
}

void Shell::wake() {
    m_wakePosted = false;
    Tick(m_v);
    syncNow();
    armTick();
}

void Shell::showAbout() {
    if (!m_about) m_about = new FrmAbout(*this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void Shell::unloadAbout() {
    delete m_about.data();
    m_about = nullptr;
}
