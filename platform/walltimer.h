#pragma once
// A deadline on the wall clock (CLOCK_REALTIME), not an interval: it fires when the clock shows
// the time, also after a suspend (Qt's timers run on the monotonic clock, which stands still in a
// suspend, so a 60 s timer started before an hour asleep fires 60 s after resume). When the clock
// is set or jumps, the timer fires at once with `clockChanged`, so the caller reads the clock again.

#include <QObject>
#include <cstdint>

class QSocketNotifier;

class WallTimer : public QObject {
    Q_OBJECT
public:
    explicit WallTimer(QObject* parent = nullptr);
    ~WallTimer() override;
    // Fires once at `utcMs` (milliseconds since the epoch); replaces an earlier deadline.
    void armAt(std::int64_t utcMs);
    // No deadline: nothing fires, not even for a clock change.
    void disarm();
    bool isArmed() const { return m_armed; }
    // False when the kernel gave no timer; the caller then keeps its own.
    bool isValid() const { return m_fd >= 0; }

signals:
    void fired(bool clockChanged);

private:
    void readReady();

    int m_fd = -1;
    bool m_armed = false;
    QSocketNotifier* m_notifier = nullptr;
};
