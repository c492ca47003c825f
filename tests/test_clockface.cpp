// The clock face: colour helpers, the anti-aliased line drawer, the hands, the mark, the hot spots,
// the pointer angle and the dial change, checked pixel by pixel on real images.

#include "clockface/analog.h"
#include "clockface/pixlib.h"
#include "clockface/wuline.h"
#include "model/depot.h"
#include "tests/support/harness.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QtTest>
#include <cstring>

namespace {
const ArgbColor Ink{40, 100, 200, 255}; // red 200, green 100, blue 40
const QRgb Black = qRgb(0, 0, 0);

QRgb Rgb(QRgb p) {
    return p & 0xFFFFFFu;
}

// Expected ink shares as "x,y=s" or "x0..x1,y0..y1=s" (a rectangle); a pixel with share s holds
// back + s * (ink - back), every pixel not listed holds `back`. Shares used keep the result whole.
void CheckShares(const QImage& img, const QString& expected, QRgb back) {
    QHash<QPoint, double> share;
    for (const QString& item : expected.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList ps = item.split(QLatin1Char('=')), xy = ps[0].split(QLatin1Char(','));
        const QStringList xs = xy[0].split(QStringLiteral("..")), ys = xy[1].split(QStringLiteral(".."));
        for (int y = ys.first().toInt(); y <= ys.last().toInt(); ++y)
            for (int x = xs.first().toInt(); x <= xs.last().toInt(); ++x)
                share.insert(QPoint(x, y), ps[1].toDouble());
    }
    const auto mix = [](int b, int i, double s) { return qRound(b + s * (i - b)); };
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const double s = share.value(QPoint(x, y), 0.0);
            const QRgb want =
                qRgb(mix(qRed(back), Ink.red, s), mix(qGreen(back), Ink.green, s), mix(qBlue(back), Ink.blue, s));
            if (Rgb(img.pixel(x, y)) != Rgb(want))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(Rgb(img.pixel(x, y)), 6, 16, QLatin1Char('0'))
                                     .arg(Rgb(want), 6, 16, QLatin1Char('0'))));
        }
}

QImage Surface(int w, int h, QRgb back) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(back);
    return img;
}

// A background where every pixel differs, so that a blend with the wrong pixel shows.
QImage Gradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 5 % 256, y * 7 % 256, (x * y) % 256));
    return img;
}

// A core with the real dial pictures, initialised at a time of day.
struct Clockface {
    Harness h;
    Clockface(int hh, int mm, int ss) {
        h.clock.set(hh, mm, ss);
        InitClock(*h.v);
    }
    Vakto& v() { return *h.v; }
};
} // namespace

class TestClockface : public QObject {
    Q_OBJECT
private slots:
    void colourBytes_data() {
        QTest::addColumn<quint32>("color");
        QTest::addColumn<int>("keepAlpha");
        QTest::addColumn<QString>("bytes"); // storage order blue, green, red, alpha
        QTest::newRow("cyan") << 0x00E6BE28u << 0 << "230 190 40 255";
        QTest::newRow("white") << 0x00FFFFFFu << 0 << "255 255 255 255";
        QTest::newRow("black") << 0x00000000u << 0 << "0 0 0 255";
        QTest::newRow("plain value keeps alpha 0") << 0x00030201u << 1 << "3 2 1 0";
        QTest::newRow("bit 31 and bit 8: plain") << 0x80000105u << 0 << "0 1 5 255";
        QTest::newRow("bit 31 and bit 8: plain, alpha") << 0x80000105u << 1 << "0 1 5 128";
        QTest::newRow("system 5 = window base") << 0x80000005u << 0 << "3 2 1 255";
        QTest::newRow("system 5 with keepAlpha") << 0x80000005u << 1 << "3 2 1 255";
        QTest::newRow("system 8 = window text") << 0x80000008u << 0 << "30 20 10 255";
        QTest::newRow("system 25 names nothing") << 0x80000019u << 0 << "0 0 0 255";
        QTest::newRow("system 200 names nothing") << 0x800000C8u << 0 << "0 0 0 255";
    }
    void colourBytes() {
        QFETCH(quint32, color);
        QFETCH(int, keepAlpha);
        QFETCH(QString, bytes);
        QPalette pal = QGuiApplication::palette();
        pal.setColor(QPalette::Base, QColor(1, 2, 3));
        pal.setColor(QPalette::Text, QColor(10, 20, 30));
        QGuiApplication::setPalette(pal);

        const std::uint32_t n = ColorToArgb(static_cast<std::int32_t>(color), std::int16_t(keepAlpha));
        const ArgbColor rec = ArgbFromNumber(n);
        std::uint8_t raw[4];
        std::memcpy(raw, &rec, 4);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(raw[0]).arg(raw[1]).arg(raw[2]).arg(raw[3]), bytes);
        QCOMPARE(MakeArgb(rec.red, rec.green, rec.blue, rec.alpha), n);
        QCOMPARE(ArgbToColor(rec, 0), quint32(raw[2]) | quint32(raw[1]) << 8 | quint32(raw[0]) << 16);
        // Plain colours come back unchanged; the dropped alpha returns only with keepAlpha.
        if ((color & 0xFFFFFF00u) != SysColorFlag)
            QCOMPARE(ArgbToColor(rec, std::int16_t(keepAlpha)), keepAlpha ? color : Rgb(color));
        QGuiApplication::setPalette(QPalette());
    }

    void blendChannel_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<float>("weight");
        QTest::addColumn<int>("result");
        QTest::newRow("0/255 at 0.5: 127.5 -> 128") << 0 << 255 << 0.5f << 128;
        QTest::newRow("2/3 at 0.5: 2.5 -> 2") << 2 << 3 << 0.5f << 2;
        QTest::newRow("68/69 at 0.5: 68.5 -> 68") << 68 << 69 << 0.5f << 68;
        QTest::newRow("40/200 at 0.25") << 40 << 200 << 0.25f << 80;
        QTest::newRow("weight 0 keeps the first") << 17 << 240 << 0.0f << 17;
        QTest::newRow("weight 1 takes the second") << 17 << 240 << 1.0f << 240;
        // 0.1f is a little above 0.1: 5 * 0.1f is 0.500000007 in double, but exactly 0.5 in float.
        QTest::newRow("double precision: 0/5 at 0.1f") << 0 << 5 << 0.1f << 1;
        QTest::newRow("weight above 1 saturates") << 0 << 255 << 1.5f << 255;
        QTest::newRow("weight above 1 saturates low") << 255 << 0 << 2.0f << 0;
    }
    void blendChannel() {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(float, weight);
        QFETCH(int, result);
        const auto a = std::uint8_t(first), b = std::uint8_t(second);
        QCOMPARE(int(BlendChannel(a, b, weight)), result);
        // BlendArgb blends every channel, alpha included, with the same weight.
        const ArgbColor m = ArgbFromNumber(BlendArgb(ArgbColor{a, b, a, b}, ArgbColor{b, a, b, a}, weight));
        QCOMPARE(int(m.blue), result);
        QCOMPARE(int(m.red), result);
        QCOMPARE(int(m.green), int(BlendChannel(b, a, weight)));
        QCOMPARE(int(m.alpha), int(m.green));
        if (weight >= 0 && weight <= 1) // a colour blended with itself stays itself
            for (const std::uint32_t n : {0xFF28BEE6u, 0x00000000u, 0xFFFFFFFFu, 0x7F010203u})
                QCOMPARE(BlendArgb(ArgbFromNumber(n), ArgbFromNumber(n), weight), n);
    }

    void lines_data() {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<int>("width");
        QTest::addColumn<QRgb>("back");
        QTest::addColumn<QString>("shares");
        QTest::newRow("w1 (0,0)-(4,1)") << QPoint(0, 0) << QPoint(4, 1) << 1 << Black
                                        << "0,0=1 1,0=.75 1,1=.25 2,0..1=.5 3,0=.25 3,1=.75 4,1=1";
        QTest::newRow("w1 (0,2)-(4,1): (0,0)-(4,-1) moved down 2")
            << QPoint(0, 2) << QPoint(4, 1) << 1 << Black << "0,2=1 1,1=.25 1,2=.75 2,1..2=.5 3,1=.75 3,2=.25 4,1=1";
        QTest::newRow("w1 (0,0)-(4,-1): row -1 is off the surface")
            << QPoint(0, 0) << QPoint(4, -1) << 1 << Black << "0,0=1 1,0=.75 2,0=.5 3,0=.25";
        QTest::newRow("w3 vertical (10,0)-(10,5): x 9..11")
            << QPoint(10, 0) << QPoint(10, 5) << 3 << Black << "9..11,0..5=1";
        QTest::newRow("w5 f=0: -2..+2, far edge +3 unchanged")
            << QPoint(0, 5) << QPoint(2, 5) << 5 << Black << "0..2,3..7=1";
        // (0,5)-(2,6): at x = 1, t = 0.5: the edges y 3 and 8 take half the ink.
        QTest::newRow("w5 f=0.5: edges -2 and +3 half")
            << QPoint(0, 5) << QPoint(2, 6) << 5 << qRgb(10, 20, 30) << "0,3..7=1 1,3=.5 1,4..7=1 1,8=.5 2,4..8=1";
        QTest::newRow("w3 45 degrees is y-major: rows of three")
            << QPoint(2, 2) << QPoint(4, 4) << 3 << Black << "1..3,2=1 2..4,3=1 3..5,4=1";
        QTest::newRow("identical points w1 draw nothing") << QPoint(3, 3) << QPoint(3, 3) << 1 << Black << "";
        QTest::newRow("identical points w5 draw nothing") << QPoint(3, 3) << QPoint(3, 3) << 5 << Black << "";
        QTest::newRow("far beyond the surface: clipped")
            << QPoint(-2000000000, 3) << QPoint(2000000000, 3) << 3 << Black << "0..15,2..4=1";
    }
    void lines() {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(int, width);
        QFETCH(QRgb, back);
        QFETCH(QString, shares);
        QImage img = Surface(16, 10, back);
        DrawWuLine(img, from, to, Ink, std::int16_t(width));
        CheckShares(img, shares, back);
    }

    void lineBlendsWithWhatIsDrawn() {
        // The second pass blends each edge with the first pass's result: 0.75 * 200 + 0.25 * 150 = 187.5.
        QImage img = Surface(8, 4, Black);
        DrawWuLine(img, {0, 0}, {4, 1}, Ink, 1);
        DrawWuLine(img, {0, 0}, {4, 1}, Ink, 1);
        QCOMPARE(Rgb(img.pixel(1, 0)), Rgb(qRgb(188, 94, 38)));
        QCOMPARE(Rgb(img.pixel(2, 1)), Rgb(qRgb(150, 75, 30)));
    }

    void lineSymmetryAndClipping_data() {
        QTest::addColumn<QPoint>("a");
        QTest::addColumn<QPoint>("b");
        QTest::addColumn<int>("width");
        QTest::newRow("x-major down w5") << QPoint(3, 17) << QPoint(40, 29) << 5;
        QTest::newRow("x-major up w3") << QPoint(5, 40) << QPoint(45, 5) << 3;
        QTest::newRow("y-major w3") << QPoint(20, 2) << QPoint(8, 44) << 3;
        QTest::newRow("diagonal w1") << QPoint(1, 1) << QPoint(30, 30) << 1;
        QTest::newRow("crosses the top-left corner w5") << QPoint(-10, -3) << QPoint(20, 8) << 5;
        QTest::newRow("through top and bottom w3") << QPoint(5, -20) << QPoint(9, 50) << 3;
        QTest::newRow("wholly outside w5") << QPoint(-20, -20) << QPoint(-5, -9) << 5;
    }
    void lineSymmetryAndClipping() {
        QFETCH(QPoint, a);
        QFETCH(QPoint, b);
        QFETCH(int, width);
        // A to B equals B to A on the whole surface.
        QImage ab = Gradient(48, 48), ba = Gradient(48, 48);
        DrawWuLine(ab, a, b, Ink, std::int16_t(width));
        DrawWuLine(ba, b, a, Ink, std::int16_t(width));
        QCOMPARE(ab, ba);
        // Drawing on a surface equals drawing on a larger one and cutting the surface out.
        const QPoint off(30, 30);
        QImage big = Gradient(110, 110);
        QImage small = big.copy(off.x(), off.y(), 48, 48);
        DrawWuLine(big, a + off, b + off, Ink, std::int16_t(width));
        DrawWuLine(small, a, b, Ink, std::int16_t(width));
        QCOMPARE(small, big.copy(off.x(), off.y(), 48, 48));
        // Every pixel the line changed lies within its bounds.
        const QRect bounds = WuLineBounds(a + off, b + off, std::int16_t(width));
        const QImage untouched = Gradient(110, 110);
        for (int y = 0; y < big.height(); ++y)
            for (int x = 0; x < big.width(); ++x)
                if (big.pixel(x, y) != untouched.pixel(x, y))
                    QVERIFY2(bounds.contains(x, y), qPrintable(QStringLiteral("%1,%2 outside").arg(x).arg(y)));
        // A 24-bit surface goes through the general pixel path and must agree.
        QImage rgb888 = Gradient(48, 48).convertToFormat(QImage::Format_RGB888);
        DrawWuLine(rgb888, a, b, Ink, std::int16_t(width));
        QCOMPARE(rgb888.convertToFormat(QImage::Format_RGB32), ab);
    }

    void overPremultiplied_data() {
        QTest::addColumn<quint32>("under");
        QTest::newRow("black") << 0xFF000000u;
        QTest::newRow("white") << 0xFFFFFFFFu;
        QTest::newRow("the hands' cyan") << 0xFF28BEE6u;
        QTest::newRow("nearly black") << 0xFF010203u;
        QTest::newRow("mid grey") << 0xFF808080u;
    }
    void overPremultiplied() {
        // Every alpha with channel values up to it: the window's own compositing gives exactly the
        // pixels Qt's painter gives for a premultiplied picture over the opaque window.
        QFETCH(quint32, under);
        QImage pic(256, 64, QImage::Format_ARGB32_Premultiplied);
        for (int a = 0; a < 256; ++a)
            for (int i = 0; i < 64; ++i) {
                const auto c = [a, i](int k) { return quint32((a * ((i * 7 + k * 23) % 64)) / 63); };
                pic.setPixel(a, i, quint32(a) << 24 | c(0) << 16 | c(1) << 8 | c(2));
            }
        QImage painted(pic.size(), QImage::Format_RGB32);
        painted.fill(under);
        QPainter(&painted).drawImage(0, 0, pic);
        for (int a = 0; a < 256; ++a)
            for (int i = 0; i < 64; ++i) {
                const quint32 p = pic.pixel(a, i);
                QVERIFY2(OverPremultiplied(under, p) == painted.pixel(a, i),
                         qPrintable(QStringLiteral("%1 over %2").arg(p, 8, 16).arg(under, 8, 16)));
            }
    }

    void drawHand_data() {
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QRgb>("core"); // colour on the line (68,68)-(68,20) at y 50; 0 = nothing drawn
        QTest::addColumn<int>("half");  // the pure core spans x 68 - half .. 68 + half
        QTest::newRow("H") << "H" << qRgb(40, 190, 230) << 2;
        QTest::newRow("M") << "M" << qRgb(40, 190, 230) << 1;
        QTest::newRow("S") << "S" << qRgb(40, 220, 240) << 0;
        QTest::newRow("lower-case h") << "h" << QRgb(0) << 0;
        QTest::newRow("empty") << "" << QRgb(0) << 0;
        QTest::newRow("HM") << "HM" << QRgb(0) << 0;
    }
    void drawHand() {
        QFETCH(QString, letter);
        QFETCH(QRgb, core);
        QFETCH(int, half);
        Clockface c(0, 0, 0);
        Vakto& v = c.v();
        v.analog.surface.fill(Black);
        v.analog.hourEnd = v.analog.minuteEnd = v.analog.secondEnd = QPoint(68, 20);
        DrawHand(v, letter);
        if (core == 0) {
            QCOMPARE(v.analog.surface, Surface(137, 137, Black));
            return;
        }
        for (int x = 68 - half - 1; x <= 68 + half + 1; ++x)
            QCOMPARE(Rgb(v.analog.surface.pixel(x, 50)), qAbs(x - 68) <= half ? Rgb(core) : 0u);
    }

    void handTips_data() {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QPoint>("hourEnd");
        QTest::addColumn<QPoint>("minuteEnd");
        QTest::addColumn<QPoint>("secondEnd");
        QTest::newRow("00:00:00 (float angle just past 90 degrees)")
            << QTime(0, 0, 0) << QPoint(68, 34) << QPoint(68, 21) << QPoint(68, 14);
        QTest::newRow("01:10:59") << QTime(1, 10, 59) << QPoint(86, 39) << QPoint(110, 45) << QPoint(63, 14);
        QTest::newRow("03:15:00") << QTime(3, 15, 0) << QPoint(103, 69) << QPoint(116, 69) << QPoint(68, 14);
        QTest::newRow("09:15:59") << QTime(9, 15, 59) << QPoint(34, 68) << QPoint(116, 69) << QPoint(63, 14);
        QTest::newRow("12:10:00 (one pixel right of hour 0)")
            << QTime(12, 10, 0) << QPoint(69, 34) << QPoint(110, 45) << QPoint(68, 14);
        QTest::newRow("13:59:59: whole hours only")
            << QTime(13, 59, 59) << QPoint(86, 39) << QPoint(63, 21) << QPoint(63, 14);
    }
    void handTips() {
        QFETCH(QTime, time);
        QFETCH(QPoint, hourEnd);
        QFETCH(QPoint, minuteEnd);
        QFETCH(QPoint, secondEnd);
        Clockface c(time.hour(), time.minute(), time.second());
        const AnalogState& a = c.v().analog;
        QCOMPARE(a.centerX, 68.5f);
        QCOMPARE(a.hourStart, QPoint(68, 68));
        QCOMPARE(a.secondStart, QPoint(68, 68));
        QCOMPARE(a.hourEnd, hourEnd);
        QCOMPARE(a.minuteEnd, minuteEnd);
        QCOMPARE(a.secondEnd, secondEnd);
    }

    void handsShowOneReading() {
        // The clock turns 02:00:00 while the face is drawn: all three hands still show 01:59:59.
        Harness h;
        ScriptedClock clock;
        const QDate d(2026, 12, 9);
        clock.script = {QDateTime(d, QTime(1, 59, 59)), QDateTime(d, QTime(2, 0, 0))};
        Vakto v(Ports{clock, h.sound, h.browser, h.dialogs, h.tray, h.window}, h.dir.path());
        InitClock(v);
        QCOMPARE(clock.calls, std::size_t(1));
        QCOMPARE(v.analog.hourEnd, QPoint(86, 39));
        QCOMPARE(v.analog.minuteEnd, QPoint(63, 21));
        QCOMPARE(v.analog.secondEnd, QPoint(63, 14));
    }

    void redrawErasesOldHandsInPlace() {
        Clockface a(10, 15, 20);
        Vakto& v = a.v();
        const uchar* buffer = v.analog.surface.constBits();
        a.h.clock.set(3, 40, 50);
        v.main.picClock.dirty = false;
        DrawClock(v);
        QVERIFY(v.main.picClock.dirty);
        SetDial(v, 4);
        SetDial(v, 0);
        // The same buffer throughout: no new image per redraw, and nothing left of 10:15:20.
        QCOMPARE(v.analog.surface.constBits(), buffer);
        Clockface fresh(3, 40, 50);
        QCOMPARE(v.analog.surface, fresh.v().analog.surface);
    }

    void repaintCoversTheChange_data() {
        QTest::addColumn<QTime>("from");
        QTest::addColumn<QTime>("to");
        QTest::addColumn<int>("walk"); // then so many more seconds, each checked against a whole drawing
        QTest::newRow("second hand leaves 12") << QTime(10, 16, 0) << QTime(10, 16, 1) << 0;
        QTest::newRow("second hand reaches 3") << QTime(10, 15, 14) << QTime(10, 15, 15) << 0;
        QTest::newRow("second hand reaches 6") << QTime(10, 15, 29) << QTime(10, 15, 30) << 0;
        QTest::newRow("second hand reaches 9") << QTime(10, 15, 44) << QTime(10, 15, 45) << 0;
        QTest::newRow("steepest step, 37 to 38") << QTime(10, 15, 37) << QTime(10, 15, 38) << 0;
        QTest::newRow("minute change: 12 and the minute hand") << QTime(10, 15, 59) << QTime(10, 16, 0) << 0;
        QTest::newRow("hour change: all three hands") << QTime(10, 59, 59) << QTime(11, 0, 0) << 0;
        QTest::newRow("midnight") << QTime(23, 59, 59) << QTime(0, 0, 0) << 0;
        QTest::newRow("a late tick, three seconds") << QTime(10, 15, 20) << QTime(10, 15, 23) << 0;
        QTest::newRow("the same second again: nothing") << QTime(10, 15, 20) << QTime(10, 15, 20) << 0;
        // Every second of twelve hours: the hands cross each other at every angle, and the face
        // redrawn only where they moved stays the face drawn whole.
        QTest::newRow("twelve hours, second by second") << QTime(11, 59, 0) << QTime(11, 59, 1) << 12 * 3600;
    }
    void repaintCoversTheChange() {
        // Two consecutive full drawings: every pixel that differs lies in the rectangles the second
        // drawing reports, and they stay small: the screen gets them instead of the whole dial.
        QFETCH(QTime, from);
        QFETCH(QTime, to);
        QFETCH(int, walk);
        Clockface c(from.hour(), from.minute(), from.second());
        Vakto& v = c.v();
        SetDial(v, 2);
        const QImage before = v.analog.surface.copy();
        v.analog.changed.fill(QRect());
        c.h.clock.set(to.hour(), to.minute(), to.second());
        DrawClock(v);
        QRegion covered;
        for (const QRect& r : v.analog.changed)
            covered |= r;
        int differ = 0;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                if (before.pixel(x, y) != v.analog.surface.pixel(x, y)) {
                    ++differ;
                    QVERIFY2(covered.contains(QPoint(x, y)),
                             qPrintable(QStringLiteral("%1,%2 not covered").arg(x).arg(y)));
                }
        QCOMPARE(differ > 0, from != to);
        QCOMPARE(covered.isEmpty(), from == to);
        // The redraw over the old face equals a drawing from scratch.
        Clockface fresh(to.hour(), to.minute(), to.second());
        SetDial(fresh.v(), 2);
        QCOMPARE(v.analog.surface, fresh.v().analog.surface);
        // Even three hands turning together send less than an eighth of the dial.
        int area = 0;
        for (const QRect& r : covered)
            area += r.width() * r.height();
        QVERIFY2(area * 8 <= before.width() * before.height(), qPrintable(QString::number(area)));
        for (int i = 1; i <= walk; ++i) {
            const QTime t = to.addSecs(i);
            c.h.clock.set(t.hour(), t.minute(), t.second());
            DrawClock(v);
            fresh.h.clock.set(t.hour(), t.minute(), t.second());
            SetDial(fresh.v(), 2); // a new dial: drawn whole
            QVERIFY2(v.analog.surface == fresh.v().analog.surface, qPrintable(t.toString()));
        }
    }

    void alarmMark_data() {
        QTest::addColumn<int>("countdown");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("0: centre (68, 8)") << 0 << QPoint(64, 4);
        QTest::newRow("15: centre (129, 69)") << 15 << QPoint(125, 65);
        QTest::newRow("30: centre (68, 129)") << 30 << QPoint(64, 125);
        QTest::newRow("60: float angle, one pixel right of 0") << 60 << QPoint(65, 4);
    }
    void alarmMark() {
        QFETCH(int, countdown);
        QFETCH(QPoint, topLeft);
        Clockface c(14, 7, 31);
        c.v().alarm.countdownMinutes = std::int16_t(countdown);
        PlaceAlarmMark(c.v());
        QCOMPARE(c.v().main.imgMark.rect, QRect(topLeft, QSize(9, 9)));
    }

    void hotSpots_data() {
        QTest::addColumn<int>("spot");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("top");
        QTest::addColumn<QPoint>("pixels"); // nearest, ties to even
        QTest::newRow("0 (12 o'clock)") << 0 << 60.5f << 5.7f << QPoint(60, 6);
        QTest::newRow("3 (15 minutes)") << 3 << 115.3f << 60.5f << QPoint(115, 61);
        QTest::newRow("6 (30 minutes)") << 6 << 60.5f << 115.3f << QPoint(60, 115);
        QTest::newRow("9 (45 minutes)") << 9 << 5.7f << 60.5f << QPoint(6, 60);
    }
    void hotSpots() {
        QFETCH(int, spot);
        QFETCH(float, left);
        QFETCH(float, top);
        QFETCH(QPoint, pixels);
        Clockface c(14, 7, 31);
        Vakto& v = c.v();
        PlaceHotSpot(v);
        QVERIFY(qAbs(v.analog.hotSpotLeft[std::size_t(spot)] - left) < 1e-3f);
        QVERIFY(qAbs(v.analog.hotSpotTop[std::size_t(spot)] - top) < 1e-3f);
        QCOMPARE(v.main.imgHotSpot[std::size_t(spot)].rect, QRect(pixels, QSize(17, 17)));
        for (const Element& e : v.main.imgHotSpot) {
            QVERIFY(e.visible);
            QCOMPARE(e.rect.size(), QSize(17, 17));
            QVERIFY(e.onClick == v.main.imgHotSpot[0].onClick);
        }
    }

    void angleOfPoint_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<float>("angle");
        QTest::newRow("upper left") << 30.0f << 30.0f << 315.0f;
        QTest::newRow("lower right: 136, not 135") << 100.0f << 100.0f << 136.0f;
        QTest::newRow("upper right") << 100.0f << 30.0f << 39.29f;
        QTest::newRow("just below, right") << 69.0f << 127.0f << 180.51f;
        QTest::newRow("vertical centre line") << 68.5f << 10.0f << 0.0f;
        QTest::newRow("horizontal centre line") << 120.0f << 68.5f << 0.0f;
    }
    void angleOfPoint() {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(float, angle);
        const float got = AngleOfPoint(68.5f, 68.5f, x, y);
        QVERIFY2(qAbs(got - angle) < 0.01f, qPrintable(QString::number(double(got))));
    }

    void dialChange_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("dial");
        QTest::newRow("off") << 0 << 0;
        QTest::newRow("10") << 10 << 1;
        QTest::newRow("15") << 15 << 2;
        QTest::newRow("20") << 20 << 3;
        QTest::newRow("30") << 30 << 4;
        QTest::newRow("60") << 60 << 5;
        QTest::newRow("25 shows dial 0") << 25 << 0;
        QTest::newRow("-10 shows dial 0") << -10 << 0;
    }
    void dialChange() {
        QFETCH(int, period);
        QFETCH(int, dial);
        Clockface c(14, 7, 31);
        Vakto& v = c.v();
        for (int i = 0; i < 6; ++i) {
            DialImage(v, i);
            v.depot.imgDial[std::size_t(i)].fill(qRgb(10 * i, 20 + i, 30));
        }
        v.analog.changed.fill(QRect());
        SetDial(v, DialIndexFor(std::int16_t(period)));
        QCOMPARE(v.analog.dialIndex, dial);
        QCOMPARE(v.main.picClock.pic, (PicRef{Strip::imgDial, std::int16_t(dial)}));
        QCOMPARE(v.analog.surface.pixel(0, 0), qRgb(10 * dial, 20 + dial, 30));
        // A new dial picture changes the whole surface, and the repaint says so.
        QCOMPARE(v.analog.changed[0], v.analog.surface.rect());
        SetDial(v, 9); // not a dial: the plain one
        QCOMPARE(v.analog.dialIndex, 0);
    }

    void golden() {
        // The start-up dial (announcer 15) at 10:15:20 against the stored picture;
        // VAKTO_UPDATE_GOLDEN=1 rewrites the picture after a change of the dial art.
        Clockface c(10, 15, 20);
        SetDial(c.v(), 2);
        const QImage& got = c.v().analog.surface;
        const QString path = QStringLiteral(VAKTO_SOURCE_DIR "/tests/golden/dial_101520.png");
        if (qEnvironmentVariable("VAKTO_UPDATE_GOLDEN") == QLatin1String("1")) QVERIFY(got.save(path));
        const QImage want = QImage(path).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!want.isNull(), "golden picture missing: run once with VAKTO_UPDATE_GOLDEN=1");
        QCOMPARE(want.size(), got.size());
        int differ = 0;
        for (int y = 0; y < got.height(); ++y)
            for (int x = 0; x < got.width(); ++x)
                differ += Rgb(got.pixel(x, y)) != Rgb(want.pixel(x, y));
        if (differ) got.save(QDir::tempPath() + QStringLiteral("/dial_101520.actual.png"));
        QCOMPARE(differ, 0);
    }
};

QTEST_MAIN(TestClockface)
#include "test_clockface.moc"
