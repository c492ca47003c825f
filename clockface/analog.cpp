#include "clockface/analog.h"

#include "model/depot.h"

#include "clockface/wuline.h"

#include <QTime>
#include <cmath>
#include <cstring>

namespace {
constexpr double Pi = 3.14159265;
constexpr double DegreesPerRadian = 57.29577948;
constexpr double HourFactor = 0.5;
constexpr double MinuteFactor = 0.7;
constexpr double SecondFactor = 0.8;
constexpr double HotSpotFactor = 0.8;
constexpr double MarkFactor = 0.88;
constexpr int MarkHalf = 4;    // the mark is 9 x 9 pixels
constexpr int HotSpotHalf = 8; // hot spots are 17 x 17 pixels

// The hands in drawing order; later ones cover earlier ones.
const std::array<QString, 3> HandLetter{QStringLiteral("H"), QStringLiteral("M"), QStringLiteral("S")};

int RoundEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

// Exact dial point in double precision; the angle itself is held as a 32-bit float.
void ExactDialPoint(const Vakto& v, double value, double step, double factor, double& x, double& y) {
    const auto theta = static_cast<float>(Pi / 2 - step * value);
    x = (1 + factor * std::cos(double(theta))) * double(v.analog.centerX);
    y = (1 - factor * std::sin(double(theta))) * double(v.analog.centerY);
}

// The surface is allocated here only, once, with its own buffer: DrawClock writes into it in place.
void EnsureSurface(Vakto& v) {
    const QSize size = v.main.picClock.rect.size();
    if (v.analog.surface.size() != size || v.analog.surface.format() != QImage::Format_RGB32)
        v.analog.surface = QImage(size, QImage::Format_RGB32);
}

const QImage& CurrentDial(Vakto& v) {
    const int i = v.analog.dialIndex >= 0 && v.analog.dialIndex < int(v.depot.imgDial.size()) ? v.analog.dialIndex : 0;
    return DialImage(v, i);
}

// True when the dial picture can be copied into the surface as it is, rectangle by rectangle.
bool DialUsable(Vakto& v) {
    const QImage& src = CurrentDial(v);
    return src.size() == v.analog.surface.size() && src.format() == QImage::Format_RGB32;
}

// Step 1 of a partial redraw: the dial picture again inside these rectangles (empty ones and
// overlaps are fine); DialUsable must hold.
void RestoreDial(Vakto& v, const std::array<QRect, 3>& rects) {
    QImage& dst = v.analog.surface;
    const QImage& src = CurrentDial(v);
    uchar* to = dst.bits(); // the surface's own buffer: nothing shares it, nothing is copied
    const uchar* from = src.constBits();
    const qsizetype toLine = dst.bytesPerLine(), fromLine = src.bytesPerLine();
    for (const QRect& r : rects) {
        const QRect c = r & dst.rect();
        for (int y = c.top(); y <= c.bottom(); ++y)
            std::memcpy(to + y * toLine + std::ptrdiff_t(c.left()) * 4,
                        from + y * fromLine + std::ptrdiff_t(c.left()) * 4, std::size_t(c.width()) * 4);
    }
}

// Step 1 of the whole redraw: the whole surface becomes the current dial picture again.
void RestoreDial(Vakto& v) {
    QImage& dst = v.analog.surface;
    const QImage& src = CurrentDial(v);
    if (DialUsable(v)) {
        RestoreDial(v, {dst.rect(), QRect(), QRect()});
        return;
    }
    // No usable dial picture (depot not loaded, or a picture of another size or format): start from
    // black rather than from the previous hands.
    dst.fill(0xFF000000u);
    if (!src.isNull()) {
        const QImage conv = src.convertToFormat(QImage::Format_RGB32);
        const int rows = std::min(conv.height(), dst.height());
        const auto bytes = std::size_t(std::min(conv.width(), dst.width())) * 4;
        for (int y = 0; y < rows; ++y)
            std::memcpy(dst.scanLine(y), conv.constScanLine(y), bytes);
    }
}
} // namespace

void DialPoint(const Vakto& v, double value, double step, double factor, float& x, float& y) {
    double dx = 0, dy = 0;
    ExactDialPoint(v, value, step, factor, dx, dy);
    x = static_cast<float>(dx);
    y = static_cast<float>(dy);
}

QPoint RoundedDialPoint(const Vakto& v, double value, double step, double factor) {
    double x = 0, y = 0;
    ExactDialPoint(v, value, step, factor, x, y);
    return {RoundEven(x), RoundEven(y)};
}

void InitClock(Vakto& v) {
    EnsureSurface(v);
    v.analog.centerX = static_cast<float>(v.analog.surface.width()) / 2;
    v.analog.centerY = static_cast<float>(v.analog.surface.height()) / 2;
    const QPoint centre(RoundEven(v.analog.centerX), RoundEven(v.analog.centerY)); // (68, 68) on 137 pixels
    v.analog.hourStart = v.analog.minuteStart = v.analog.secondStart = centre;
    v.analog.drawnDial = -1; // new geometry: the whole face is new
    DrawClock(v);
}

void DrawClock(Vakto& v) {
    DrawClock(v, v.ports.clock.now().time());
}

void DrawClock(Vakto& v, const QTime& t) {
    AnalogState& a = v.analog;
    const QSize before = a.surface.size();
    EnsureSurface(v);
    const std::array<QPoint, 3> wasEnd{a.hourEnd, a.minuteEnd, a.secondEnd};
    const std::array<QRect, 3> was{HandBounds(v, HandLetter[0]), HandBounds(v, HandLetter[1]),
                                   HandBounds(v, HandLetter[2])};
    // All three hands show the one time given, so the face never mixes two seconds. The hour hand
    // stands on the whole hour.
    a.hourEnd = RoundedDialPoint(v, t.hour(), HourStep, HourFactor);
    a.minuteEnd = RoundedDialPoint(v, t.minute(), MinuteStep, MinuteFactor);
    a.secondEnd = RoundedDialPoint(v, t.second(), MinuteStep, SecondFactor);
    const std::array<QPoint, 3> end{a.hourEnd, a.minuteEnd, a.secondEnd};

    // The same dial under the same hands gives the same pixels: only where a hand was or now is can
    // the new face differ from the one drawn. There the dial comes back and all three hands are
    // drawn again, in their order, clipped to those places; everywhere else the face stays.
    if (a.drawnDial == a.dialIndex && a.surface.size() == before && DialUsable(v)) {
        std::array<QRect, 3> redo{};
        for (std::size_t h = 0; h < redo.size(); ++h)
            if (end[h] != wasEnd[h]) redo[h] = (was[h] | HandBounds(v, HandLetter[h])) & a.surface.rect();
        // (An empty clip would mean no clip at all: with no hand moved there is nothing to draw.)
        if (redo != std::array<QRect, 3>{}) {
            RestoreDial(v, redo);
            for (const QString& letter : HandLetter)
                DrawHand(v, letter, redo);
        }
        for (std::size_t h = 0; h < redo.size(); ++h)
            a.changed[h] |= redo[h];
    } else {
        RestoreDial(v);
        for (const QString& letter : HandLetter)
            DrawHand(v, letter);
        a.changed = {a.surface.rect(), QRect(), QRect()};
        a.drawnDial = a.dialIndex;
    }
    // One repaint of the finished face: the shell never shows a half-drawn redraw.
    v.main.picClock.dirty = true;
}

void PlaceAlarmMark(Vakto& v) {
    const QPoint c = RoundedDialPoint(v, v.alarm.countdownMinutes, MinuteStep, MarkFactor);
    SetPos(v.main.imgMark, c.x() - MarkHalf, c.y() - MarkHalf);
}

void PlaceHotSpot(Vakto& v) {
    for (int j = 0; j < 12; ++j) {
        float x = 0, y = 0;
        DialPoint(v, 5.0 * j, MinuteStep, HotSpotFactor, x, y);
        v.analog.hotSpotLeft[std::size_t(j)] = x - HotSpotHalf;
        v.analog.hotSpotTop[std::size_t(j)] = y - HotSpotHalf;
        Element& spot = v.main.imgHotSpot[std::size_t(j)];
        if (j > 0) {
            // Spots 1..11 are copies of spot 0: same size, and its handlers where they have none.
            const Element& proto = v.main.imgHotSpot[0];
            spot.rect.setSize(proto.rect.size());
            for (Handler Element::*h :
                 {&Element::onPress, &Element::onRelease, &Element::onClick, &Element::onMove, &Element::onDragOver})
                if (!(spot.*h)) spot.*h = proto.*h;
        }
        // Whole pixels: nearest with ties to even of the kept fractional Left and Top.
        SetPos(spot, RoundEven(double(v.analog.hotSpotLeft[std::size_t(j)])),
               RoundEven(double(v.analog.hotSpotTop[std::size_t(j)])));
        SetVisible(spot, true);
    }
}

float AngleOfPoint(float cx, float cy, float x, float y) {
    const float dy = y - cy;
    const float dx = x - cx;
    if (dy == 0 || dx == 0) return 0;
    const float q = dx / dy;
    double angle = 0;
    if (y < cy)
        angle = -std::atan(double(q)) * DegreesPerRadian;
    else
        angle = 181 - std::atan(double(q)) * DegreesPerRadian;
    if (angle < 0) angle += 360;
    return static_cast<float>(angle);
}

int DialIndexFor(std::int16_t announceEvery) {
    switch (announceEvery) {
    case 10:
        return 1;
    case 15:
        return 2;
    case 20:
        return 3;
    case 30:
        return 4;
    case 60:
        return 5;
    default:
        return 0;
    }
}

void SetDial(Vakto& v, int dialIndex) {
    // An index outside the six dials would read past the depot: show the plain dial instead.
    const int i = dialIndex >= 0 && dialIndex < int(v.depot.imgDial.size()) ? dialIndex : 0;
    SetPic(v.main.picClock, Strip::imgDial, i);
    v.analog.dialIndex = i;
    v.analog.drawnDial = -1; // the face is drawn anew from the picture, and shown whole
    DrawClock(v);
}
