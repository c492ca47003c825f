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
    void wholeDay();
    void clockChanges_data();
    void clockChanges();
};

void TestDay::initTestCase() {
    // Daylight-saving switches of a real zone; the other rows do not depend on it.
    qputenv("TZ", "Europe/Berlin");
    tzset();
}

void TestDay::wholeDay() {
    Harness h;
    h.clock.t = QDateTime(QDate(2026, 12, 9), QTime(0, 0, 0));
    h.clock.advance(-1); // start at 23:59:59 of the day before
    QVERIFY(h.start());
    QCOMPARE(h.v->alarm.announceEvery, std::int16_t(15));
    h.press(Project2);
    h.release(Project2);
    QCOMPARE(h.v->punch.currentProject, std::int16_t(2));

    int announcerRings = 0;
    QList<QTime> timerRings;
    QList<QTime> expectedTimerRings;
    timerRings.reserve(32); // the test's own lists must not count as growth
    expectedTimerRings.reserve(32);
    h.sound.played.reserve(4);
    h.tray.calls.reserve(1024); // the fakes' call logs grow by design
    h.window.calls.reserve(1024);
    std::size_t memHour1 = 0;
    int windowsOpened = 0;
    for (int s = 0; s < 86400; ++s) {
        h.clock.advance(1);
        const QTime now = h.clock.t.time();
        const bool armed = h.v->alarm.alarmOff == 0;
        h.sound.played.clear();
        const bool windowWasOpen = h.v->alarmWin.open;
        Tick(*h.v);
        if (h.v->alarmWin.open && !windowWasOpen) ++windowsOpened;
        const int rings = h.sound.played.size();
        if (armed && h.v->alarm.alarmOff == 1) {
            timerRings << now;
            QCOMPARE(rings, now.second() == 0 && now.minute() % 15 == 0 ? 2 : 1);
            announcerRings += rings - 1;
        } else {
            announcerRings += rings;
        }
        // The alarm window's own one-second timer.
        if (h.v->alarmWin.open && !(h.v->alarmWin.open && !windowWasOpen)) AlarmWindowTick(*h.v);

        // A 10-minute timer restarted every hour at hh:05:17.
        if (now.minute() == 5 && now.second() == 17) {
            h.click(Preset10);
            expectedTimerRings << now.addSecs(600);
        }
        if (now == QTime(8, 59, 30) || now == QTime(16, 59, 30)) h.click(PunchButton);
        if (now == QTime(12, 0, 30)) QVERIFY(OnCloseRequest(*h.v, true));
        // The tray's left press, as the tray delivers it: a main-window move with the message in X.
        if (now == QTime(12, 30, 30)) OnMainMouseMove(*h.v, MouseEv{0, 513, 0});
        if (s == 3600) memHour1 = AllocatedBytes();
        if (s % 3600 == 0 && qEnvironmentVariableIsSet("VAKTO_DAY_MEMORY"))
            qInfo("hour %d: %zu bytes", s / 3600, AllocatedBytes());
    }
    const std::size_t memHour24 = AllocatedBytes();
    QCOMPARE(announcerRings, 96);
    QCOMPARE(timerRings, expectedTimerRings);
    QCOMPARE(timerRings.size(), 24);
    QCOMPARE(windowsOpened, 96 + 24);
    QVERIFY(h.window.visible);
    QVERIFY(!h.window.minimised);
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
    QTest::addColumn<int>("rings");       // rings of the 10-minute timer within the next 2 hours
    QTest::addColumn<int>("ringAfter");   // seconds after the jump at which it rings, -1 = on time
    QTest::newRow("set back one hour") << QDateTime(QDate(2026, 6, 1), QTime(10, 0, 5)) << 60 << -3600 << 1
                                       << 3600 + 540;
    QTest::newRow("set forward one hour") << QDateTime(QDate(2026, 6, 1), QTime(10, 0, 5)) << 60 << 3600 << 1 << 0;
    QTest::newRow("suspend 10 minutes over the alarm")
        << QDateTime(QDate(2026, 6, 1), QTime(10, 0, 5)) << 300 << 600 << 1 << 0;
    // Spring forward: 01:59:59 is followed by 03:00:00; a timer due at 02:02 rings at 03:00:00.
    QTest::newRow("Berlin spring forward") << QDateTime(QDate(2026, 3, 29), QTime(1, 52, 0)) << 0 << 0 << 1 << 480;
    // Fall back: 02:59:59 is followed by 02:00:00 again; a timer due at 02:55 rings once, although
    // the wall clock shows 02:55 twice.
    QTest::newRow("Berlin fall back") << QDateTime(QDate(2026, 10, 25), QTime(2, 45, 0)) << 0 << 0 << 1 << 600;
    QTest::newRow("short late tick over the alarm")
        << QDateTime(QDate(2026, 6, 1), QTime(10, 0, 5)) << 599 << 2 << 1 << 0;
}

void TestDay::clockChanges() {
    QFETCH(QDateTime, start);
    QFETCH(int, jumpAfter);
    QFETCH(int, jump);
    QFETCH(int, rings);
    QFETCH(int, ringAfter);
    Harness h;
    h.clock.t = start;
    QVERIFY(h.start());
    h.v->alarm.announceEvery = 0; // only the timer rings here
    h.click(Preset10);
    QCOMPARE(h.v->alarm.alarmOff, std::int16_t(0));
    for (int i = 0; i < jumpAfter; ++i) {
        h.clock.advance(1);
        Tick(*h.v);
    }
    QCOMPARE(h.sound.played.size(), 0);
    h.clock.advance(jump);
    int rung = 0;
    int ringAt = -2;
    for (int i = 0; i <= 2 * 3600; ++i) {
        const int before = h.sound.played.size();
        Tick(*h.v);
        if (h.sound.played.size() > before) {
            rung += h.sound.played.size() - before;
            if (ringAt == -2) ringAt = i;
        }
        h.clock.advance(1);
    }
    QCOMPARE(rung, rings);
    QCOMPARE(ringAt, ringAfter);
    QCOMPARE(h.v->alarm.alarmOff, std::int16_t(1));
}

QTEST_MAIN(TestDay)
#include "test_day.moc"
