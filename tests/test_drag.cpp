// Dragging the frameless window by its bare skin and snapping it to the screen edges, on a fake
// screen and pointer.

#include "app/drag.h"
#include "app/mainwindow.h"
#include "tests/support/harness.h"

#include <QtTest>

namespace {
// A bare spot of the skin: below the preset buttons, left of nothing.
const QPoint Bare(240, 190);
const QPoint Start(100, 100);
} // namespace

class TestDrag : public QObject {
    Q_OBJECT
private slots:
    void step_data();
    void step();
    void dragThroughThePointerRoute();
    void minimisedWindowDoesNotMove();
    void compositorMovesWhereTheWindowCannotPlaceItself();
};

void TestDrag::step_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("press");         // window pixels
    QTest::addColumn<QPoint>("cursor");        // screen pixels
    QTest::addColumn<QList<QRect>>("screens"); // the primary first
    QTest::addColumn<QPoint>("expected");
    // One screen; window 385 x 195: flush right at 639, flush bottom at 573.
    const QList<QRect> s{QRect(0, 0, 1024, 768)};
    const QPoint p(40, 20);
    QTest::newRow("right button") << 2 << p << QPoint(500, 400) << s << Start;
    QTest::newRow("middle button") << 4 << p << QPoint(500, 400) << s << Start;
    QTest::newRow("left and right") << 3 << p << QPoint(500, 400) << s << Start;
    QTest::newRow("no button") << 0 << p << QPoint(500, 400) << s << Start;
    QTest::newRow("free: pressed spot stays under the pointer") << 1 << p << QPoint(500, 400) << s << QPoint(460, 380);
    QTest::newRow("left gap 10 snaps") << 1 << p << QPoint(50, 400) << s << QPoint(0, 380);
    QTest::newRow("left gap 11 stays") << 1 << p << QPoint(51, 400) << s << QPoint(11, 380);
    QTest::newRow("beyond the left edge") << 1 << p << QPoint(5, 400) << s << QPoint(0, 380);
    QTest::newRow("top gap 10 snaps") << 1 << p << QPoint(500, 30) << s << QPoint(460, 0);
    QTest::newRow("top gap 11 stays") << 1 << p << QPoint(500, 31) << s << QPoint(460, 11);
    QTest::newRow("beyond the top edge") << 1 << p << QPoint(500, 2) << s << QPoint(460, 0);
    QTest::newRow("right gap 10 snaps flush") << 1 << p << QPoint(629 + 40, 400) << s << QPoint(639, 380);
    QTest::newRow("right gap 11 stays") << 1 << p << QPoint(628 + 40, 400) << s << QPoint(628, 380);
    QTest::newRow("beyond the right edge") << 1 << p << QPoint(1020, 400) << s << QPoint(639, 380);
    QTest::newRow("bottom gap 10 does not snap") << 1 << p << QPoint(500, 563 + 20) << s << QPoint(460, 563);
    QTest::newRow("bottom gap 9 snaps flush") << 1 << p << QPoint(500, 564 + 20) << s << QPoint(460, 573);
    QTest::newRow("beyond the bottom edge") << 1 << p << QPoint(500, 700) << s << QPoint(460, 573);
    QTest::newRow("both at once: top-left corner") << 1 << p << QPoint(45, 25) << s << QPoint(0, 0);
    QTest::newRow("corner region stays put") << 1 << p << QPoint(1024 - 199, 768 - 49) << s << Start;
    QTest::newRow("corner region, far corner") << 1 << p << QPoint(1023, 767) << s << Start;
    QTest::newRow("left of the corner region follows")
        << 1 << p << QPoint(1024 - 200, 768 - 49) << s << QPoint(639, 573);
    QTest::newRow("above the corner region follows") << 1 << p << QPoint(1024 - 199, 768 - 50) << s << QPoint(639, 573);
    // A screen less than 20 pixels larger than the window: both edges attract, right and bottom win.
    QTest::newRow("small screen: right and bottom win")
        << 1 << p << QPoint(45, 25) << QList<QRect>{{0, 0, 400, 205}} << QPoint(15, 10);
    QTest::newRow("15 taller: bottom gap 10 lets the top win")
        << 1 << p << QPoint(45, 25) << QList<QRect>{{0, 0, 400, 210}} << QPoint(15, 0);
    QTest::newRow("screen the window's size")
        << 1 << p << QPoint(100, 100) << QList<QRect>{{0, 0, 385, 195}} << QPoint(0, 0);
    // Two monitors side by side: each snaps at its own edges, the one under the pointer counts.
    const QList<QRect> two{QRect(0, 0, 1024, 768), QRect(1024, 0, 1024, 768)};
    QTest::newRow("two screens: onto the second") << 1 << p << QPoint(1500, 400) << two << QPoint(1460, 380);
    QTest::newRow("two screens: first's right edge while the pointer is on it")
        << 1 << p << QPoint(1000, 400) << two << QPoint(639, 380);
    QTest::newRow("two screens: second's left gap 10 snaps")
        << 1 << p << QPoint(1024 + 50, 400) << two << QPoint(1024, 380);
    QTest::newRow("two screens: second's left gap 11 stays")
        << 1 << p << QPoint(1024 + 51, 400) << two << QPoint(1035, 380);
    QTest::newRow("two screens: second's right gap 10 snaps flush")
        << 1 << p << QPoint(1024 + 629 + 40, 400) << two << QPoint(1663, 380);
    QTest::newRow("two screens: second's right gap 11 stays")
        << 1 << p << QPoint(1024 + 628 + 40, 400) << two << QPoint(1652, 380);
    QTest::newRow("two screens: beyond the second's right edge")
        << 1 << p << QPoint(2040, 400) << two << QPoint(1663, 380);
    QTest::newRow("two screens: second's bottom gap 9 snaps")
        << 1 << p << QPoint(1500, 564 + 20) << two << QPoint(1460, 573);
    QTest::newRow("two screens: second's corner region stays put")
        << 1 << p << QPoint(2048 - 199, 768 - 49) << two << Start;
    QTest::newRow("two screens: left of the second's corner region follows")
        << 1 << p << QPoint(2048 - 200, 768 - 49) << two << QPoint(1663, 573);
    // The primary screen on the right of the desktop, a second one on its left.
    const QList<QRect> primaryRight{QRect(1024, 0, 1024, 768), QRect(0, 0, 1024, 768)};
    QTest::newRow("primary not at 0,0: its top-left corner")
        << 1 << p << QPoint(1024 + 45, 25) << primaryRight << QPoint(1024, 0);
    QTest::newRow("primary not at 0,0: free inside it")
        << 1 << p << QPoint(1100, 100) << primaryRight << QPoint(1060, 80);
    QTest::newRow("primary not at 0,0: the other screen's left edge")
        << 1 << p << QPoint(45, 400) << primaryRight << QPoint(0, 380);
    // A taller second screen reaching above the first: negative coordinates.
    const QList<QRect> tall{QRect(0, 0, 1024, 768), QRect(1024, -256, 1280, 1100)};
    QTest::newRow("taller screen above the top: its top edge")
        << 1 << p << QPoint(1200, -256 + 25) << tall << QPoint(1160, -256);
    QTest::newRow("taller screen: flush with its own bottom")
        << 1 << p << QPoint(1200, 800) << tall << QPoint(1160, 649);
}

void TestDrag::step() {
    QFETCH(int, button);
    QFETCH(QPoint, press);
    Harness h;
    h.window.position = Start;
    QFETCH(QPoint, cursor);
    QFETCH(QList<QRect>, screens);
    h.window.cursor = cursor;
    h.window.screens = screens;
    h.v->app.pressX = std::int16_t(press.x());
    h.v->app.pressY = std::int16_t(press.y());
    // The event's own coordinates are not used: only the pointer's screen position counts.
    DragAndSnap(*h.v, button, 0, 9999, -9999);
    QTEST(h.window.position, "expected");
    QCOMPARE(h.window.systemMoves, 0);
}

void TestDrag::dragThroughThePointerRoute() {
    Harness h;
    QVERIFY(h.start());
    h.window.position = QPoint(300, 300);
    h.press(Bare);
    QCOMPARE(h.v->app.pressX, std::int16_t(Bare.x()));
    QCOMPARE(h.v->app.pressY, std::int16_t(Bare.y()));
    // The pointer goes 5 pixels from the screen's left edge: the window lands at x = 0.
    h.window.cursor = QPoint(245, 500);
    h.move(Bare + QPoint(-295, 200), 1);
    QCOMPARE(h.window.position, QPoint(0, 310));
    // A press on an element is no drag: the window stays.
    h.release(Bare);
    h.press(QPoint(350, 10));
    h.window.cursor = QPoint(600, 600);
    h.move(QPoint(360, 20), 1);
    QCOMPARE(h.window.position, QPoint(0, 310));
}

void TestDrag::minimisedWindowDoesNotMove() {
    Harness h;
    QVERIFY(h.start());
    h.window.position = Start;
    h.press(Bare);
    h.window.minimised = true;
    h.window.cursor = QPoint(600, 400);
    OnMainMouseMove(*h.v, MouseEv{1, 10, 10});
    QCOMPARE(h.window.position, Start);
}

void TestDrag::compositorMovesWhereTheWindowCannotPlaceItself() {
    Harness h;
    h.window.placeable = false;
    h.window.position = Start;
    h.window.cursor = QPoint(5, 5); // within snapping distance: no snap either
    DragAndSnap(*h.v, 1, 0, 0, 0);
    QCOMPARE(h.window.systemMoves, 1);
    QCOMPARE(h.window.position, Start);
    DragAndSnap(*h.v, 2, 0, 0, 0);
    QCOMPARE(h.window.systemMoves, 1);
}

QTEST_MAIN(TestDrag)
#include "test_drag.moc"
