#include "platform/walltimer.h"

#include <QSocketNotifier>
#include <cerrno>
#include <sys/timerfd.h>
#include <unistd.h>

WallTimer::WallTimer(QObject* parent) : QObject(parent) {
    m_fd = ::timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC | TFD_NONBLOCK);
    if (m_fd < 0) return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &WallTimer::readReady);
}

WallTimer::~WallTimer() {
    delete m_notifier;
    if (m_fd >= 0) ::close(m_fd);
}

void WallTimer::armAt(std::int64_t utcMs) {
    if (m_fd < 0) return;
    itimerspec deadline{};
    // 0 would disarm the timer: a deadline at the epoch is long past, so 1 ns fires it at once.
    deadline.it_value.tv_sec = time_t(utcMs / 1000);
    deadline.it_value.tv_nsec = long(utcMs % 1000) * 1000000L;
    if (deadline.it_value.tv_sec <= 0 && deadline.it_value.tv_nsec <= 0) deadline.it_value.tv_nsec = 1;
    // CANCEL_ON_SET: a clock that is set (by hand, by NTP stepping it, at resume) ends the wait.
    m_armed = ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &deadline, nullptr) == 0;
}

void WallTimer::disarm() {
    if (m_fd < 0) return;
    const itimerspec none{};
    ::timerfd_settime(m_fd, 0, &none, nullptr);
    m_armed = false;
}

void WallTimer::readReady() {
    std::uint64_t expirations = 0;
    const ssize_t n = ::read(m_fd, &expirations, sizeof expirations);
    if (n < 0 && errno == EAGAIN) return; // re-armed or disarmed since the notifier woke
    m_armed = false;
    // ECANCELED: the clock was changed before the deadline; the timer must be armed again.
    emit fired(n < 0 && errno == ECANCELED);
}
