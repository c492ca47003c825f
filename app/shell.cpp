#include "app/shell.h"

#include "about/frmabout.h"
#include "alarm/frmalarm.h"
#include "app/frmvakto.h"
#include "app/startup.h"

#include <QDateTime>

Shell::Shell(Vakto& v) : m_v(v) {
    m_main = new FrmVakto(*this);
    m_timer1.setSingleShot(true);
    m_timer1.setTimerType(Qt::PreciseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &Shell::tickNow);
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
    armTick();
}

void Shell::armTick() {
    // A periodic 1000 ms timer drifts against the wall clock and sooner or later skips a second;
    // re-arming for just after the next boundary sees every second exactly once.
    // The sub-second phase is the same in UTC as in local time; reading it in UTC costs no time
    // zone lookup.
    const auto ms = int(QDateTime::currentMSecsSinceEpoch() % 1000);
    m_timer1.start(1000 - ms + 5);
}

void Shell::tickNow() {
    Tick(m_v);
    // Painted and sent within this wakeup: a deferred update would post an event and go round the
    // event loop once more, every second.
    syncNow();
    if (!m_v.app.ended) armTick();
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
