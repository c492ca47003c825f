// The real main window on the offscreen platform: it paints the element model faithfully
// (a golden picture at a fixed time) and takes the user's clicks at the elements' places.

#include "alarm/alarmsetting.h"
#include "app/frmvakto.h"
#include "app/mainwindow.h"
#include "app/shell.h"
#include "app/shellports.h"
#include "app/startup.h"
#include "tests/support/fakes.h"
#include "tray/traymenu.h"

#include <QtTest>
#include <cstring>
#include <ctime>

namespace {
struct Real {
    FakeClock clock;
    FakeSound sound;
    FakeBrowser browser;
    FakeDialogs dialogs;
    FakeTray tray;
    MainWindowPort window;
    QTemporaryDir dir;
    std::unique_ptr<Vakto> v;
    std::unique_ptr<Shell> shell;

    explicit Real(QTime at) {
        QFile::copy(QStringLiteral(VAKTO_SOURCE_DIR "/assets/vakto.dat"), dir.path() + QStringLiteral("/vakto.dat"));
        clock.t = QDateTime(QDate(2026, 12, 9), at);
        v = std::make_unique<Vakto>(Ports{clock, sound, browser, dialogs, tray, window}, dir.path());
        shell = std::make_unique<Shell>(*v);
        window.attach(shell.get());
    }
    FrmVakto* w() { return shell->mainWindow(); }
    QImage grab() {
        QCoreApplication::processEvents();
        return w()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

const QString Golden = QStringLiteral(VAKTO_SOURCE_DIR "/tests/golden/main_101520.png");

// The UTC clock behind SystemClock in the zone test, milliseconds since the epoch.
qint64 g_utc = 0;
qint64 FakeUtc() {
    return g_utc;
}

// TZ set for one test, restored afterwards.
struct ZoneScope {
    const bool had = qEnvironmentVariableIsSet("TZ");
    const QByteArray old = qgetenv("TZ");
    explicit ZoneScope(const QByteArray& zone) { set(zone); }
    ~ZoneScope() {
        if (had)
            set(old);
        else
            qunsetenv("TZ");
        tzset();
    }
    static void set(const QByteArray& zone) {
        qputenv("TZ", zone);
        tzset();
    }
};

// What the screen shows of `w`. A Wayland client cannot read the screen, and does not know where its
// window is: the compositor's screenshot tool (weston --debug) takes the whole output, and the
// window is where its header, which no tick changes, lies in it. Null when it is nowhere.
QImage OnScreen(QWidget* w, const QImage& expected) {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    QTemporaryDir dir;
    QProcess shooter;
    shooter.setWorkingDirectory(dir.path());
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    if (!shooter.waitForFinished(10000) || shooter.exitCode() != 0) return QImage();
    const QStringList shots = QDir(dir.path()).entryList({QStringLiteral("*.png")});
    if (shots.isEmpty()) return QImage();
    const QImage screen = QImage(dir.filePath(shots.first())).convertToFormat(QImage::Format_RGB32);
    const int header = 17;
    const auto fits = [&](int x, int y) {
        for (int row = 0; row < header; ++row)
            if (std::memcmp(screen.constScanLine(y + row) + x * 4, expected.constScanLine(row),
                            std::size_t(expected.width()) * 4))
                return false;
        return true;
    };
    for (int y = 0; y + expected.height() <= screen.height(); ++y)
        for (int x = 0; x + expected.width() <= screen.width(); ++x)
            if (fits(x, y)) return screen.copy(QRect(QPoint(x, y), expected.size()));
    return QImage();
}

int DifferentPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return a.width() * a.height();
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void goldenAtFixedTime();
    void movedElementFailsTheGolden();
    void screenMatchesAFullPaintEverySecond_data();
    void screenMatchesAFullPaintEverySecond();
    void systemClockShowsTheWallClock_data();
    void systemClockShowsTheWallClock();
    void windowIsFramelessFixedSize();
    void clickOnHeaderXQuits();
};

void TestMainWindow::goldenAtFixedTime() {
    Real r(QTime(10, 15, 20));
    QVERIFY(Startup(*r.v));
    r.shell->sync();
    const QImage shot = r.grab();
    QCOMPARE(shot.size(), QSize(385, 195));
    if (qEnvironmentVariableIsSet("VAKTO_UPDATE_GOLDEN")) {
        QVERIFY(shot.save(Golden));
        QSKIP("golden picture written");
    }
    const QImage golden = QImage(Golden).convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!golden.isNull(), "golden picture missing; run with VAKTO_UPDATE_GOLDEN=1");
    const int diff = DifferentPixels(shot, golden);
    if (diff) shot.save(QDir::tempPath() + QStringLiteral("/main_101520_actual.png"));
    QCOMPARE(diff, 0);
}

void TestMainWindow::movedElementFailsTheGolden() {
    Real r(QTime(10, 15, 20));
    QVERIFY(Startup(*r.v));
    // One preset button one pixel off its place must show in the comparison.
    SetPos(r.v->main.imgFixed[3], 193, 164);
    r.shell->sync();
    const QImage golden = QImage(Golden).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!golden.isNull());
    QVERIFY(DifferentPixels(r.grab(), golden) > 0);
}

void TestMainWindow::screenMatchesAFullPaintEverySecond_data() {
    QTest::addColumn<QTime>("start");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("timer");  // minutes, 0 = none
    QTest::addColumn<bool>("cover"); // then another window covers the dial and goes away
    QTest::addColumn<int>("away");   // then seconds hidden (in the tray) or minimised, no tick meanwhile
    QTest::addColumn<bool>("tray");  // hidden and shown by the tray; else minimised and restored
    QTest::newRow("10:15:20, across a minute") << QTime(10, 15, 20) << 45 << 0 << false << 0 << false;
    QTest::newRow("10:59:50, across the hour, a timer running") << QTime(10, 59, 50) << 15 << 3 << false << 0 << false;
    QTest::newRow("10:15:20, then covered and uncovered") << QTime(10, 15, 20) << 5 << 0 << true << 0 << false;
    // Asleep, no tick came; back at 10:18:57 it shows that second at once.
    QTest::newRow("10:15:20, in the tray, shown again mid-minute")
        << QTime(10, 15, 20) << 2 << 5 << false << 215 << true;
    QTest::newRow("10:15:20, minimised, restored mid-minute") << QTime(10, 15, 20) << 2 << 5 << false << 215 << false;
}

void TestMainWindow::screenMatchesAFullPaintEverySecond() {
    // The window repaints only what changed each second, on X11 and on Wayland past Qt's own copy of
    // the window;
    // what the screen holds must still be, pixel for pixel, what a complete repaint shows, also
    // after the server has forgotten a covered part of the window.
    QFETCH(QTime, start);
    QFETCH(int, seconds);
    QFETCH(int, timer);
    QFETCH(bool, cover);
    QFETCH(int, away);
    QFETCH(bool, tray);
    Real r(start);
    QVERIFY(Startup(*r.v));
    if (timer) StartTimer(*r.v, std::int16_t(timer));
    r.shell->sync();
    QVERIFY(QTest::qWaitForWindowExposed(r.w()));
    const auto stale = [&r] {
        const QImage full = r.grab();
        const QImage screen = OnScreen(r.w(), full);
        const int diff = DifferentPixels(screen, full);
        if (diff) screen.save(QDir::tempPath() + QStringLiteral("/vakto_screen_actual.png"));
        return diff;
    };
    const auto at = [&r] { return r.clock.t.time().toString(QStringLiteral("hh:mm:ss")); };
    for (int i = 1; i <= seconds; ++i) {
        r.clock.advance(1);
        r.shell->tickNow();
        QCoreApplication::processEvents();
        const int diff = stale();
        QVERIFY2(diff == 0, qPrintable(QStringLiteral("%1 pixels stale at %2").arg(diff).arg(at())));
    }
    if (away) {
        r.shell->startTicking(); // the wall-clock timer: real seconds, the fake clock stands still
        if (tray) {
            QTest::mouseClick(r.w(), Qt::LeftButton, Qt::NoModifier, QPoint(350, 10)); // the header V
            QTRY_VERIFY(!r.w()->isVisible());
        } else {
            r.w()->showMinimized(); // the window manager's button
            QTRY_VERIFY(r.w()->isMinimized());
        }
        r.clock.advance(away);
        if (tray) {
            OnMainMouseMove(*r.v, MouseEv{0, TrayLeftDown, 0}); // the tray's left press
            r.shell->sync();
        } else {
            r.w()->showNormal(); // the taskbar's click, past the core
        }
        QVERIFY(QTest::qWaitForWindowExposed(r.w()));
        QCoreApplication::processEvents();
        QCOMPARE(r.v->curTime(), at());
        QCOMPARE(r.v->alarm.countdownMinutes, std::int16_t(2)); // due 10:20:22, stepped at 16, 17 and 18
        const int diff = stale();
        QVERIFY2(diff == 0, qPrintable(QStringLiteral("%1 pixels stale at %2").arg(diff).arg(at())));
    }
    if (!cover) return;
    QWidget lid(nullptr, Qt::Window | Qt::FramelessWindowHint);
    lid.setGeometry(r.w()->geometry());
    lid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&lid));
    lid.hide();
    QTRY_COMPARE(stale(), 0);
}

void TestMainWindow::systemClockShowsTheWallClock_data() {
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("start");  // UTC
    QTest::addColumn<QByteArray>("later"); // the system's zone after one minute; empty = unchanged
    const auto utc = [](int y, int mo, int d, int h, int mi) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, 30), Qt::UTC);
    };
    QTest::newRow("Berlin, spring forward") << QByteArray("Europe/Berlin") << utc(2026, 3, 29, 0, 58) << QByteArray();
    QTest::newRow("Berlin, fall back") << QByteArray("Europe/Berlin") << utc(2026, 10, 25, 0, 58) << QByteArray();
    QTest::newRow("Lord Howe, half an hour back")
        << QByteArray("Australia/Lord_Howe") << utc(2026, 4, 4, 14, 58) << QByteArray();
    QTest::newRow("Kolkata, across midnight") << QByteArray("Asia/Kolkata") << utc(2026, 12, 9, 18, 28) << QByteArray();
    QTest::newRow("Berlin, then the system moves to Tokyo")
        << QByteArray("Europe/Berlin") << utc(2026, 12, 9, 8, 58) << QByteArray("Asia/Tokyo");
}

void TestMainWindow::systemClockShowsTheWallClock() {
    // Four minutes of readings, one a second, against the C library's local time. The zone is
    // looked up once a minute, so after a change of zone the reading may lag until the next minute.
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, start);
    QFETCH(QByteArray, later);
    ZoneScope scope(zone);
    SystemClock clock(&FakeUtc);
    int lagging = 0;
    for (int s = 0; s < 240; ++s) {
        g_utc = start.toMSecsSinceEpoch() + s * 1000 + 250;
        if (s == 60 && !later.isEmpty()) ZoneScope::set(later);
        const QDateTime want = QDateTime::fromMSecsSinceEpoch(g_utc, Qt::LocalTime);
        const QDateTime got = clock.now();
        if (got.date() == want.date() && got.time() == want.time()) continue;
        QVERIFY2(!later.isEmpty() && s >= 60 && s < 90,
                 qPrintable(QStringLiteral("%1 shows %2").arg(want.toString(Qt::ISODate), got.toString(Qt::ISODate))));
        ++lagging;
    }
    QVERIFY(lagging <= 30);
}

void TestMainWindow::windowIsFramelessFixedSize() {
    Real r(QTime(9, 0, 0));
    QVERIFY(Startup(*r.v));
    QVERIFY(r.w()->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(r.w()->size(), QSize(385, 195));
    QCOMPARE(r.w()->minimumSize(), r.w()->maximumSize());
    QCOMPARE(r.w()->windowTitle(), QStringLiteral("Vakto"));
}

void TestMainWindow::clickOnHeaderXQuits() {
    Real r(QTime(9, 0, 0));
    QVERIFY(Startup(*r.v));
    r.shell->sync();
    QTest::mouseClick(r.w(), Qt::LeftButton, Qt::NoModifier, QPoint(310, 10));
    QVERIFY(r.window.ended());
    QCOMPARE(r.window.status(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
