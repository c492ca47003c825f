// A whole simulated day through the core with recording fakes, and the clock changes a desktop
// lives through: set back, set forward, a suspend over an alarm, daylight-saving switches.

#include "alarm/alarmstate.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "punch/ledger.h"
#include "tests/support/harness.h"

#include <QtTest>
#include <cstdlib>
#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (its header is not installed with gcc).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {
const QPoint Preset10(221 + 11, 164 + 12);
const QPoint Project2(40 + 15, 33 + 14);
const QPoint HeaderV(326 + 24, 10);

std::size_t AllocatedBytes() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// Record 2 of the file on disk.
ProjectRec FileRecord(const Harness& h, int index) {
    const LedgerRead r = ParseLedger(h.ledgerBytes());
    return r.ok && index < int(r.projects.size()) ? r.projects[index] : ProjectRec{};
}
} // namespace

class TestDay : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void wholeDay_data();
    void wholeDay();
    void clockChanges_data();
    void clockChanges();
};

void TestDay::initTestCase() {
    // Daylight-saving switches of a real zone; the other rows do not depend on it.
    qputenv("TZ", "Europe/Berlin");
    tzset();
}

void TestDay::wholeDay_data() {
    QTest::addColumn<bool>("hidden"); // in the tray all day: the core is woken only when it asks
    QTest::addColumn<int>("wakeups"); // ticks the core asked for over the day
    // Shown, every second, but for the half hour in the tray after the close at 00:20:30: there
    // the announcer's 00:30 and 00:45.
    QTest::newRow("shown") << false << 86400 - 1800 + 2;
    // Hidden, only what is heard or written wakes it: the 480 punched minutes 09:00 to 16:59, the
    // announcer's 64 quarter hours outside them, the timer's 24 rings, the start's first tick.
    QTest::newRow("hidden in the tray") << true << 480 + 64 + 24 + 1;
}

void TestDay::wholeDay() {
    QFETCH(bool, hidden);
    QFETCH(int, wakeups);
    Harness h;
    h.clock.t = QDateTime(QDate(2026, 12, 9), QTime(0, 0, 0));
    h.clock.advance(-1); // start at 23:59:59 of the day before
    QVERIFY(h.start());
    QCOMPARE(h.v->alarm.announceEvery, std::int16_t(15));
    h.press(Project2);
    h.release(Project2);
    QCOMPARE(h.v->punch.currentProject, std::int16_t(2));
    Tick(*h.v);
    int ticks = 1;
    if (hidden) {
        h.click(HeaderV);
        QVERIFY(!h.window.visible);
    }
    // The second the shell's wall-clock timer is armed for, as it re-arms after every tick and
    // every other call into the core.
    std::int64_t due = NextTickKey(*h.v, h.v->app.lastTickTime);

    QList<QTime> announcerRings;
    QList<QTime> timerRings;
    QList<QTime> expectedTimerRings;
    announcerRings.reserve(128); // the test's own lists must not count as growth
    timerRings.reserve(32);
    expectedTimerRings.reserve(32);
    h.sound.played.reserve(4);
    h.tray.calls.reserve(1024); // the fakes' call logs grow by design
    h.window.calls.reserve(1024);
    std::size_t memHour1 = 0;
    int windowsOpened = 0;
    for (int s = 1; s < 86400; ++s) {
        h.clock.advance(1);
        const QTime now = h.clock.t.time();
        const bool armed = h.v->alarm.alarmOff == 0;
        h.sound.played.clear();
        h.sound.descriptions.clear();
        const bool windowWasOpen = h.v->alarmWin.open;
        if (due != 0 && TickKey(h.clock.t) >= due) {
            Tick(*h.v);
            ++ticks;
        }
        if (h.v->alarmWin.open && !windowWasOpen) ++windowsOpened;
        const int rings = h.sound.played.size();
        if (armed && h.v->alarm.alarmOff == 1) {
            timerRings << now;
            QCOMPARE(rings, now.second() == 0 && now.minute() % 15 == 0 ? 2 : 1);
            if (rings == 2) announcerRings << now;
        } else if (rings) {
            QCOMPARE(rings, 1);
            announcerRings << now;
        }
        // The alarm window's own one-second timer.
        if (h.v->alarmWin.open && !(h.v->alarmWin.open && !windowWasOpen)) AlarmWindowTick(*h.v);

        // A 10-minute timer restarted every hour at hh:05:17.
        if (now.minute() == 5 && now.second() == 17) {
            h.click(Preset10);
            expectedTimerRings << now.addSecs(600);
        }
        if (now == QTime(8, 59, 30) || now == QTime(16, 59, 30)) h.click(PunchButton);
        if (!hidden && now == QTime(0, 20, 30)) QVERIFY(OnCloseRequest(*h.v, true));
        // The tray's left press, as the tray delivers it: a main-window move with the message in X.
        if (!hidden && now == QTime(0, 50, 30)) OnMainMouseMove(*h.v, MouseEv{0, 513, 0});
        due = NextTickKey(*h.v, h.v->app.lastTickTime);
        if (s == 3600) memHour1 = AllocatedBytes();
        if (s % 3600 == 0 && qEnvironmentVariableIsSet("VAKTO_DAY_MEMORY"))
            qInfo("hour %d: %zu bytes", s / 3600, AllocatedBytes());
    }
    const std::size_t memHour24 = AllocatedBytes();
    QCOMPARE(announcerRings.size(), 96);
    for (const QTime& t : announcerRings)
        QVERIFY2(t.second() == 0 && t.minute() % 15 == 0, qPrintable(t.toString()));
    QCOMPARE(timerRings, expectedTimerRings);
    QCOMPARE(timerRings.size(), 24);
    QCOMPARE(windowsOpened, 96 + 24);
    QCOMPARE(ticks, wakeups);
    QCOMPARE(h.window.visible && !h.window.minimised, !hidden);
    const ProjectRec p2 = FileRecord(h, 1);
    QCOMPARE(p2.hours * 60 + p2.minutes, 480);
    QCOMPARE(h.v->punch.projects[1].hours * 60 + h.v->punch.projects[1].minutes, 480);
    // A day of ticking leaves the heap where the first hour left it (a little slack for
    // allocator bookkeeping).
    QVERIFY2(memHour24 <= memHour1 + 4096,
             qPrintable(QStringLiteral("heap grew from %1 to %2 bytes").arg(memHour1).arg(memHour24)));
    QVERIFY(h.dialogs.messages.isEmpty());
}

void TestDay::clockChanges_data() {
    QTest::addColumn<QDateTime>("start"); // local wall clock when the timer is set
    QTest::addColumn<int>("jumpAfter");   // seconds of normal ticking before the jump
    QTest::addColumn<int>("jump");        // seconds the wall clock jumps (negative: back)
    QTest::addColumn<bool>("suspend");    // the jump is a suspend: the awake clock stands still
    QTest::addColumn<bool>("hidden");     // in the tray: ticks only when the core asks
    QTest::addColumn<int>("rings");       // rings of the 10-minute timer within the next 2 hours
    QTest::addColumn<int>("ringAfter");   // seconds after the jump at which it rings, -1 = on time
    const QDateTime ten(QDate(2026, 6, 1), QTime(10, 0, 5));
    for (const bool hidden : {false, true}) {
        const char* in = hidden ? ", hidden" : "";
        QTest::addRow("set back one hour%s", in) << ten << 60 << -3600 << false << hidden << 1 << 3600 + 540;
        QTest::addRow("set forward one hour%s", in) << ten << 60 << 3600 << false << hidden << 1 << 0;
        QTest::addRow("suspend 10 minutes over the alarm%s", in) << ten << 300 << 600 << true << hidden << 1 << 0;
        // Spring forward: 01:59:59 is followed by 03:00:00; a timer due at 02:02 rings at 03:00:00.
        QTest::addRow("Berlin spring forward%s", in)
            << QDateTime(QDate(2026, 3, 29), QTime(1, 52, 0)) << 0 << 0 << false << hidden << 1 << 480;
        // Fall back: 02:59:59 is followed by 02:00:00 again; a timer due at 02:55 rings once, although
        // the wall clock shows 02:55 twice.
        QTest::addRow("Berlin fall back%s", in)
            << QDateTime(QDate(2026, 10, 25), QTime(2, 45, 0)) << 0 << 0 << false << hidden << 1 << 600;
    }
    QTest::newRow("short late tick over the alarm") << ten << 599 << 2 << false << false << 1 << 0;
}

void TestDay::clockChanges() {
    QFETCH(QDateTime, start);
    QFETCH(int, jumpAfter);
    QFETCH(int, jump);
    QFETCH(bool, suspend);
    QFETCH(bool, hidden);
    QFETCH(int, rings);
    QFETCH(int, ringAfter);
    Harness h;
    h.clock.t = start;
    QVERIFY(h.start());
    h.v->alarm.announceEvery = 0; // only the timer rings here
    h.click(Preset10);
    QCOMPARE(h.v->alarm.alarmOff, std::int16_t(0));
    Tick(*h.v);
    if (hidden) {
        h.click(HeaderV);
        QVERIFY(!h.window.visible);
    }
    // Shown, a tick every second; hidden, the wall-clock deadline the core asked for. That is a
    // local second: across a daylight-saving switch it is found again by its key.
    std::int64_t due = NextTickKey(*h.v, h.v->app.lastTickTime);
    int ticks = 0;
    const auto tickIfDue = [&](bool force) {
        if (!force && (due == 0 || TickKey(h.clock.t) < due)) return;
        Tick(*h.v);
        ++ticks;
        due = NextTickKey(*h.v, h.v->app.lastTickTime);
    };
    for (int i = 0; i < jumpAfter; ++i) {
        h.clock.advance(1);
        tickIfDue(false);
    }
    QCOMPARE(h.sound.played.size(), 0);
    if (suspend)
        h.clock.suspend(jump);
    else
        h.clock.advance(jump);
    int rung = 0;
    int ringAt = -2;
    for (int i = 0; i <= 2 * 3600; ++i) {
        const int before = h.sound.played.size();
        // A clock that is set ends the timer's wait at once; after a suspend, a deadline that
        // passed in it fires at resume. Either way the first second after the jump ticks.
        tickIfDue(i == 0 && jump != 0);
        if (h.sound.played.size() > before) {
            rung += h.sound.played.size() - before;
            if (ringAt == -2) ringAt = i;
        }
        h.clock.advance(1);
    }
    QCOMPARE(rung, rings);
    QCOMPARE(ringAt, ringAfter);
    QCOMPARE(h.v->alarm.alarmOff, std::int16_t(1));
    // Asleep in the tray, nothing is due once the timer has rung.
    if (hidden) QVERIFY2(ticks <= 4, qPrintable(QString::number(ticks)));
}

QTEST_MAIN(TestDay)
#include "test_day.moc"
