#include "clockface/wuline.h"

#include "model/vakto.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// One-pixel access to the surface. The image stores 0xAARRGGBB words; the line drawer works on
// platform colour values 0x00BBGGRR, so every read and write swaps red and blue.
class PixelSurface {
public:
    // `clips`: when not empty, only pixels inside one of these rectangles are read and written.
    PixelSurface(QImage& img, const std::array<QRect, 3>& clips)
        : m_img(img), m_w(img.width()), m_h(img.height()),
          m_fast(img.format() == QImage::Format_RGB32 || img.format() == QImage::Format_ARGB32),
          m_bits(m_w > 0 && m_h > 0 ? img.bits() : nullptr), m_stride(img.bytesPerLine()), m_clips(clips) {
        QRect box;
        for (const QRect& c : clips)
            box |= c;
        m_clipped = !box.isEmpty();
        m_box = m_clipped ? box & QRect(0, 0, m_w, m_h) : QRect(0, 0, m_w, m_h);
    }

    bool inside(std::int64_t x, std::int64_t y) const {
        if (x < m_box.left() || y < m_box.top() || x > m_box.right() || y > m_box.bottom()) return false;
        if (!m_clipped) return true;
        const QPoint p{int(x), int(y)};
        return m_clips[0].contains(p) || m_clips[1].contains(p) || m_clips[2].contains(p);
    }

    std::uint32_t read(int x, int y) const {
        const QRgb p = m_fast ? row(y)[x] : m_img.pixel(x, y);
        return (p >> 16 & 0xFFu) | (p & 0xFF00u) | (p & 0xFFu) << 16;
    }

    void write(int x, int y, std::uint32_t color) {
        const QRgb p = 0xFF000000u | (color & 0xFFu) << 16 | (color & 0xFF00u) | (color >> 16 & 0xFFu);
        if (m_fast)
            row(y)[x] = p;
        else
            m_img.setPixel(x, y, p);
    }

    // The pixels that may be written: the surface, or the clip rectangles' bounds on it.
    const QRect& box() const { return m_box; }
    bool clipped() const { return m_clipped; }

private:
    QRgb* row(int y) const { return reinterpret_cast<QRgb*>(m_bits + std::ptrdiff_t(y) * m_stride); }

    QImage& m_img;
    int m_w, m_h;
    bool m_fast;
    uchar* m_bits;
    qsizetype m_stride;
    const std::array<QRect, 3>& m_clips;
    QRect m_box;
    bool m_clipped = false;
};

// Blends the surface pixel at (x, y) with the line colour; `weight` is the pixel's own share.
inline void BlendPixel(PixelSurface& s, std::int64_t x, std::int64_t y, const ArgbColor& colour, float weight) {
    if (!s.inside(x, y)) return;
    const int px = int(x), py = int(y);
    const ArgbColor under = ArgbFromNumber(ColorToArgb(static_cast<std::int32_t>(s.read(px, py)), 0));
    s.write(px, py, ArgbToColor(ArgbFromNumber(BlendArgb(colour, under, weight)), 0));
}

// The line in a frame where `major` runs along the major axis: (major, minor) -> surface pixel is
// (major, minor) for x-major lines and (minor, major) for y-major ones.
void DrawAlongMajor(PixelSurface& s, bool xMajor, std::int64_t startMajor, std::int64_t startMinor, std::int64_t dMajor,
                    std::int64_t dMinor, const ArgbColor& colour, int half, int rest) {
    const std::uint32_t solid = ArgbToColor(colour, 0);
    const QRect& box = s.box();
    const std::int64_t majorLo = xMajor ? box.left() : box.top(), majorHi = xMajor ? box.right() : box.bottom();
    const std::int64_t minorLo = xMajor ? box.top() : box.left(), minorHi = xMajor ? box.bottom() : box.right();
    // Steps whose pixels all lie outside the surface (or the clip) change nothing: skip them. The
    // remaining steps compute t from their own index, so clipping does not move a single pixel.
    const std::int64_t first = std::max<std::int64_t>(0, majorLo - startMajor);
    const std::int64_t last = std::min<std::int64_t>(dMajor, majorHi - startMajor);
    for (std::int64_t i = first; i <= last; ++i) {
        const auto t = static_cast<float>(double(i) / double(dMajor) * double(dMinor));
        const float base = std::floor(t);
        const float f = t - base; // exact in float; 0 <= f < 1 also for negative t
        const std::int64_t major = startMajor + i;
        const std::int64_t minor = startMinor + static_cast<std::int64_t>(base);
        const std::int64_t nearEdge = minor - half, farEdge = minor + rest;
        if (xMajor) {
            BlendPixel(s, major, nearEdge, colour, f);
            BlendPixel(s, major, farEdge, colour, 1.0f - f);
        } else {
            BlendPixel(s, nearEdge, major, colour, f);
            BlendPixel(s, farEdge, major, colour, 1.0f - f);
        }
        const std::int64_t k0 = std::max<std::int64_t>(nearEdge + 1, minorLo);
        const std::int64_t k1 = std::min<std::int64_t>(farEdge - 1, minorHi);
        for (std::int64_t k = k0; k <= k1; ++k) {
            const std::int64_t x = xMajor ? major : k, y = xMajor ? k : major;
            if (s.clipped() && !s.inside(x, y)) continue;
            s.write(int(x), int(y), solid);
        }
    }
}

// Across the major axis a step's edge pixels lie `half` before and `width - half` after the line.
int HalfWidth(std::int16_t width) {
    return width >= 0 ? width / 2 : -((1 - width) / 2); // floor(width / 2)
}
} // namespace

void DrawWuLine(QImage& surface, const QPoint& from, const QPoint& to, const ArgbColor& colour, std::int16_t width,
                const std::array<QRect, 3>& clip) {
    if (from == to || surface.isNull()) return;
    const int half = HalfWidth(width);
    const int rest = width - half;
    PixelSurface s(surface, clip);
    if (s.box().isEmpty()) return;
    // 64-bit differences: end points anywhere in the int range neither overflow nor wrap.
    const std::int64_t adx = std::llabs(std::int64_t(to.x()) - from.x());
    const std::int64_t ady = std::llabs(std::int64_t(to.y()) - from.y());
    if (adx > ady) {
        const QPoint& a = from.x() < to.x() ? from : to;
        const QPoint& b = from.x() < to.x() ? to : from;
        DrawAlongMajor(s, true, a.x(), a.y(), std::int64_t(b.x()) - a.x(), std::int64_t(b.y()) - a.y(), colour, half,
                       rest);
    } else {
        // |dx| = |dy| is drawn y-major.
        const QPoint& a = from.y() < to.y() ? from : to;
        const QPoint& b = from.y() < to.y() ? to : from;
        DrawAlongMajor(s, false, a.y(), a.x(), std::int64_t(b.y()) - a.y(), std::int64_t(b.x()) - a.x(), colour, half,
                       rest);
    }
}

QRect WuLineBounds(const QPoint& from, const QPoint& to, std::int16_t width) {
    if (from == to) return {};
    const int half = HalfWidth(width);
    const int rest = width - half;
    // Along the major axis the steps run from end to end; across it the edges reach `half` before
    // the smaller end and `rest` past the larger one (for widths below 1 the two may swap sides).
    const int lo = std::min(-half, rest), hi = std::max(-half, rest);
    const QRect line(QPoint(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
                     QPoint(std::max(from.x(), to.x()), std::max(from.y(), to.y())));
    const bool xMajor = std::llabs(std::int64_t(to.x()) - from.x()) > std::llabs(std::int64_t(to.y()) - from.y());
    return xMajor ? line.adjusted(0, lo, 0, hi) : line.adjusted(lo, 0, hi, 0);
}

namespace {
struct HandStyle {
    std::uint8_t red, green, blue;
    std::int16_t width;
};
constexpr HandStyle HourStyle{40, 190, 230, 5};
constexpr HandStyle MinuteStyle{40, 190, 230, 3};
constexpr HandStyle SecondStyle{40, 220, 240, 1};

struct Hand {
    const HandStyle* style = nullptr; // null: not a hand
    QPoint from, to;
};

Hand FindHand(const AnalogState& a, const QString& letter) {
    if (letter == QLatin1String("H")) return {&HourStyle, a.hourStart, a.hourEnd};
    if (letter == QLatin1String("M")) return {&MinuteStyle, a.minuteStart, a.minuteEnd};
    if (letter == QLatin1String("S")) return {&SecondStyle, a.secondStart, a.secondEnd};
    return {};
}
} // namespace

void DrawHand(Vakto& v, const QString& letter, const std::array<QRect, 3>& clip) {
    const Hand h = FindHand(v.analog, letter);
    if (!h.style) return;
    const ArgbColor colour = ArgbFromNumber(MakeArgb(h.style->red, h.style->green, h.style->blue, 255));
    DrawWuLine(v.analog.surface, h.from, h.to, colour, h.style->width, clip);
}

QRect HandBounds(const Vakto& v, const QString& letter) {
    const Hand h = FindHand(v.analog, letter);
    return h.style ? WuLineBounds(h.from, h.to, h.style->width) : QRect();
}
