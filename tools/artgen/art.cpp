#include "art.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <functional>
#include <memory>

namespace art {
namespace {

// The palette: every colour of the skin comes from this table, so the look is restyled here.
struct Palette {
    QColor body{0x1B, 0x2A, 0x44};       // window body between the panels
    QColor panel{41, 59, 93};            // raised faces; the description line's background
    QColor inset{0x12, 0x1C, 0x30};      // LCD windows, dial corners, small-digit background
    QColor well{0x15, 0x21, 0x38};       // recessed trays behind button groups
    QColor bevelLight{0x3A, 0x54, 0x82}; // 1 px light edge (top/left of raised, bottom/right of recessed)
    QColor bevelDark{0x0A, 0x11, 0x1F};  // 1 px dark edge
    QColor outline{0x08, 0x0E, 0x1A};    // button outlines
    QColor faceTop{0x31, 0x48, 0x72};    // button face gradient, normal
    QColor faceBottom{0x25, 0x37, 0x5B};
    QColor hoverTop{0x3E, 0x5D, 0x90}; // button face gradient, hover
    QColor hoverBottom{0x2E, 0x47, 0x73};
    QColor pressedTop{0x10, 0x1A, 0x2D}; // button face gradient, pressed
    QColor pressedBottom{0x18, 0x26, 0x41};
    QColor text{164, 212, 255};          // pale labels and icons
    QColor textBright{0xE8, 0xF7, 0xFF}; // labels under the pointer
    QColor textDim{0x6C, 0x8A, 0xB8};    // quiet marks: minor ticks, switched-off glyphs
    QColor accent{40, 190, 230};         // hands, lit segments, outlines
    QColor accentSecond{40, 220, 240};   // the second hand
    QColor highlight{0xDC, 0xF7, 0xFF};  // announced ticks
    QColor amber{0xFF, 0xB3, 0x47};      // reserved for "the alarm is on"
    QColor amberDeep{0xD9, 0x7B, 0x12};
    QColor dialCentre{0x22, 0x35, 0x58}; // dial face, radial gradient
    QColor dialEdge{0x16, 0x23, 0x3C};
    QColor steel{0x7A, 0x95, 0xC0};  // alarm-off icon body
    QColor header{0x15, 0x22, 0x39}; // header strip behind the top buttons
    double unlitShare = 0.12;        // unlit segment = this share of `accent` over `inset`
};
const Palette pal{};

const char* const fontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
QString g_family;

QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QColor withAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

QColor unlit() {
    return mix(pal.inset, pal.accent, pal.unlitShare);
}

QImage canvas(int w, int h, const QColor& fill = Qt::transparent) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

void prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont boldFont(double px) {
    QFont f(g_family);
    f.setBold(true);
    f.setPixelSize(static_cast<int>(px));
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// Draws `text` with its ink (not its line box) centred in `box`, snapped to whole pixels so
// the hinted glyphs stay crisp.
void centredText(QPainter& p, const QRectF& box, const QString& text, double px, const QColor& colour,
                 QPointF shift = {}, const QColor& glow = Qt::transparent, double spacing = 0.0) {
    QFont f = boldFont(px);
    if (spacing != 0.0) f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    const QFontMetricsF fm(f);
    const QRectF ink = fm.tightBoundingRect(text);
    const QPointF at(std::round(box.center().x() - ink.center().x() + shift.x()),
                     std::round(box.center().y() - ink.center().y() + shift.y()));
    p.setFont(f);
    if (glow.alpha() > 0) {
        QPainterPath path;
        path.addText(at, f, text);
        p.save();
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(glow, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
        p.restore();
    }
    p.setPen(colour);
    p.drawText(at, text);
}

// Recessed area: dark edge top and left, light edge bottom and right, flat inside.
void well(QPainter& p, const QRect& r, const QColor& fill) {
    p.fillRect(r, fill);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), pal.bevelDark);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), pal.bevelDark);
    p.fillRect(QRect(r.left() + 1, r.bottom(), r.width() - 1, 1), pal.bevelLight);
    p.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 1), pal.bevelLight);
}

enum class Look { Normal, Hover, Pressed };

// A bevelled rounded button filling `r` (pixel edges). Hover brightens the face and outlines it
// in cyan; pressed sinks it: darker, shadow on top, cyan glow inside.
void buttonFace(QPainter& p, const QRectF& r, Look look, double radius = 3.0) {
    const QRectF edge = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    switch (look) {
    case Look::Normal:
        g.setColorAt(0, pal.faceTop);
        g.setColorAt(1, pal.faceBottom);
        break;
    case Look::Hover:
        g.setColorAt(0, pal.hoverTop);
        g.setColorAt(1, pal.hoverBottom);
        break;
    case Look::Pressed:
        g.setColorAt(0, pal.pressedTop);
        g.setColorAt(1, pal.pressedBottom);
        break;
    }
    p.save();
    p.setPen(QPen(look == Look::Hover ? pal.accent : pal.outline, 1.0));
    p.setBrush(g);
    p.drawRoundedRect(edge, radius, radius);
    p.setBrush(Qt::NoBrush);
    const double inner = radius - 1.0;
    if (look == Look::Pressed) {
        // inner cyan glow and a shadow along the top: the face sits below the panel
        p.setPen(QPen(withAlpha(pal.accent, 150), 1.0));
        p.drawRoundedRect(edge.adjusted(1, 1, -1, -1), inner, inner);
        p.setPen(QPen(withAlpha(pal.accent, 55), 1.0));
        p.drawRoundedRect(edge.adjusted(2, 2, -2, -2), inner, inner);
        p.setPen(QPen(withAlpha(pal.outline, 200), 1.0));
        p.drawLine(QPointF(edge.left() + radius, edge.top() + 1), QPointF(edge.right() - radius, edge.top() + 1));
    } else {
        const QColor lightEdge = look == Look::Hover ? mix(pal.hoverTop, pal.textBright, 0.35) : pal.bevelLight;
        p.setPen(QPen(lightEdge, 1.0));
        p.drawLine(QPointF(edge.left() + radius, edge.top() + 1), QPointF(edge.right() - radius, edge.top() + 1));
        p.setPen(QPen(withAlpha(pal.outline, 110), 1.0));
        p.drawLine(QPointF(edge.left() + radius, edge.bottom() - 1), QPointF(edge.right() - radius, edge.bottom() - 1));
    }
    p.restore();
}

QColor labelColour(Look look) {
    switch (look) {
    case Look::Normal:
        return pal.text;
    case Look::Hover:
        return pal.textBright;
    case Look::Pressed:
        return pal.highlight;
    }
    return pal.text;
}

// Pressed labels sink one pixel down and to the right.
QPointF labelShift(Look look) {
    return look == Look::Pressed ? QPointF(1, 1) : QPointF(0, 0);
}

QPainterPath bellPath(const QRectF& b) {
    const double x = b.left(), y = b.top(), w = b.width(), h = b.height();
    QPainterPath path;
    path.moveTo(x + 0.5 * w, y + 0.06 * h);
    path.cubicTo(x + 0.88 * w, y + 0.06 * h, x + 0.80 * w, y + 0.52 * h, x + 0.88 * w, y + 0.68 * h);
    path.lineTo(x + w, y + 0.80 * h);
    path.lineTo(x, y + 0.80 * h);
    path.lineTo(x + 0.12 * w, y + 0.68 * h);
    path.cubicTo(x + 0.20 * w, y + 0.52 * h, x + 0.12 * w, y + 0.06 * h, x + 0.5 * w, y + 0.06 * h);
    path.closeSubpath();
    path.addEllipse(QPointF(x + 0.5 * w, y + 0.90 * h), 0.14 * w, 0.10 * h);
    return path;
}

// ---- seven segments ----

// Bits a..g: top, upper right, lower right, bottom, lower left, upper left, middle.
const int segmentMasks[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

struct SegmentBox {
    double left, top, right, bottom; // outer edges of the segments, pixels
    double thick;
    double gap;  // clearance at each joint, pixels along the segment
    double glow; // width of the halo pen around lit segments
};

// A segment along p..q with 45-degree bevelled ends.
QPolygonF segment(QPointF p, QPointF q, double half, double gap) {
    const QPointF d = q - p;
    const double len = std::hypot(d.x(), d.y());
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    const QPointF a = p + u * gap, b = q - u * gap;
    return QPolygonF({a, a + (u + n) * half, b + (n - u) * half, b, b - (u + n) * half, a + (u - n) * half});
}

void sevenSegments(QPainter& p, const SegmentBox& s, int mask) {
    const double h = s.thick / 2;
    const double l = s.left + h, r = s.right - h, t = s.top + h, b = s.bottom - h;
    const double m = (s.top + s.bottom) / 2;
    const QPointF ends[7][2] = {{{l, t}, {r, t}}, {{r, t}, {r, m}}, {{r, m}, {r, b}}, {{l, b}, {r, b}},
                                {{l, m}, {l, b}}, {{l, t}, {l, m}}, {{l, m}, {r, m}}};
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(unlit());
    for (int i = 0; i < 7; ++i)
        if (!(mask & (1 << i))) p.drawPolygon(segment(ends[i][0], ends[i][1], h, s.gap));
    for (int i = 0; i < 7; ++i) {
        if (!(mask & (1 << i))) continue;
        const QPolygonF poly = segment(ends[i][0], ends[i][1], h, s.gap);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(withAlpha(pal.accent, 60), s.glow, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawPolygon(poly);
        p.setPen(Qt::NoPen);
        p.setBrush(pal.accent);
        p.drawPolygon(poly);
    }
    p.restore();
}

} // namespace

bool loadFonts() {
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(fontFile));
    if (id < 0) return false;
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) return false;
    g_family = families.first();
    return true;
}

// ---- digits ----

QImage bigDigit(int index) {
    if (index >= 11) {
        // colon: two 4 x 4 dots with clipped corners, centred in the 8-pixel cell
        QImage img = canvas(8, 50, pal.inset);
        QPainter p(&img);
        prepare(p);
        const bool lit = index == 12;
        for (double y : {15.0, 31.0}) {
            const QRectF dot(2, y, 4, 4);
            if (lit) {
                p.setPen(QPen(withAlpha(pal.accent, 60), 2.0));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(dot, 1, 1);
            }
            p.setPen(Qt::NoPen);
            p.setBrush(lit ? pal.accent : unlit());
            p.drawRoundedRect(dot, 1, 1);
        }
        return img;
    }
    QImage img = canvas(26, 50, pal.inset);
    QPainter p(&img);
    prepare(p);
    // Columns 0-1 and 24-25 stay plain: neighbouring cells overlap by two pixels.
    sevenSegments(p, {3, 3, 23, 47, 4, 0.8, 2.0}, index < 10 ? segmentMasks[index] : 0);
    return img;
}

QImage smallDigit(int index) {
    // At 8 x 17 bevels and joint gaps smear, so the small digits are set pixel by pixel:
    // 2-pixel segments that share their corner pixels, columns 0 and 7 left empty.
    struct Span {
        int x0, y0, x1, y1;
    }; // inclusive pixel rectangle of one segment
    const Span spans[7] = {{1, 1, 6, 2},  {5, 1, 6, 9}, {5, 8, 6, 16}, {1, 15, 6, 16},
                           {1, 8, 2, 16}, {1, 1, 2, 9}, {1, 8, 6, 9}};
    const int mask = index < 10 ? segmentMasks[index] : 0;
    QImage img = canvas(8, 17, pal.inset);
    for (int pass = 0; pass < 2; ++pass) // unlit first, lit on top
        for (int i = 0; i < 7; ++i) {
            const bool lit = mask & (1 << i);
            if (lit != (pass == 1)) continue;
            const Span& s = spans[i];
            for (int y = s.y0; y <= s.y1; ++y)
                for (int x = s.x0; x <= s.x1; ++x)
                    img.setPixelColor(x, y, lit ? pal.accent : unlit());
        }
    // soften the four outer corners by half a pixel's worth
    for (const QPoint c : {QPoint(1, 1), QPoint(6, 1), QPoint(1, 16), QPoint(6, 16)})
        img.setPixelColor(c, mix(pal.inset, img.pixelColor(c), 0.55));
    return img;
}

// ---- header ----

namespace {

// Header buttons hang from the window's top edge: their top corners lie above the picture.
void headerTab(QPainter& p, int w, int h, Look look) {
    buttonFace(p, QRectF(0, -4, w, h + 4), look);
}

} // namespace

QImage headerAlarm(bool on) {
    QImage img = canvas(50, 20, pal.header);
    QPainter p(&img);
    prepare(p);
    headerTab(p, 50, 20, Look::Normal);
    const QColor ink = on ? pal.amber : pal.textDim;
    if (on) {
        // a warm wash under the bell so the state reads from across the room
        QRadialGradient g(QPointF(13, 10), 11);
        g.setColorAt(0, withAlpha(pal.amber, 70));
        g.setColorAt(1, withAlpha(pal.amber, 0));
        p.fillRect(QRectF(2, 1, 22, 17), g);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(bellPath(QRectF(7, 3, 12, 14)));
    if (!on) {
        p.setPen(QPen(pal.faceTop, 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 16), QPointF(20, 3));
        p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 16), QPointF(20, 3));
    }
    centredText(p, QRectF(22, 1, 25, 18), on ? QStringLiteral("ON") : QStringLiteral("OFF"), 10, ink);
    return img;
}

QImage headerQuit(bool hover) {
    QImage img = canvas(28, 20, pal.header);
    QPainter p(&img);
    prepare(p);
    const Look look = hover ? Look::Hover : Look::Normal;
    headerTab(p, 28, 20, look);
    p.setPen(QPen(labelColour(look), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 5.5), QPointF(18, 13.5));
    p.drawLine(QPointF(18, 5.5), QPointF(10, 13.5));
    return img;
}

QImage headerHide(bool hover) {
    QImage img = canvas(55, 20, pal.header);
    QPainter p(&img);
    prepare(p);
    const Look look = hover ? Look::Hover : Look::Normal;
    headerTab(p, 55, 20, look);
    const QColor ink = labelColour(look);
    p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(22, 5), QPointF(27.5, 10.5), QPointF(33, 5)}));
    p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(21, 14.5), QPointF(34, 14.5));
    return img;
}

// ---- buttons ----

namespace {

const char* const presetLabels[10] = {"00", "01", "03", "05", "10", "15", "20", "30", "45", "60"};
const int presetWidths[10] = {28, 27, 28, 28, 23, 24, 28, 27, 28, 28};
const int presetLefts[10] = {106, 135, 163, 192, 221, 245, 270, 299, 327, 356};

} // namespace

QImage preset(int index, bool hover) {
    const int w = presetWidths[index];
    QImage img = canvas(w, 24, pal.well);
    QPainter p(&img);
    prepare(p);
    const Look look = hover ? Look::Hover : Look::Normal;
    buttonFace(p, QRectF(0, 0, w, 24), look);
    centredText(p, QRectF(0, 0, w, 24), QString::fromLatin1(presetLabels[index]), 11, labelColour(look));
    return img;
}

QImage project(int number, bool pressed) {
    QImage img = canvas(31, 29, pal.well);
    QPainter p(&img);
    prepare(p);
    const Look look = pressed ? Look::Pressed : Look::Normal;
    buttonFace(p, QRectF(0, 0, 31, 29), look);
    centredText(p, QRectF(0, 0, 31, 29), QString::number(number), 13, pressed ? pal.accent : pal.text, labelShift(look),
                pressed ? withAlpha(pal.accent, 70) : QColor(Qt::transparent));
    return img;
}

// ---- dial ----

namespace {

const QPointF dialCentre(68.5, 68.5);

QPointF onDial(double minutes, double radius) {
    const double a = minutes * 6.0 * 3.14159265358979323846 / 180.0;
    return {dialCentre.x() + radius * std::sin(a), dialCentre.y() - radius * std::cos(a)};
}

// Round button of the dial's corners; `sunk` draws it pressed in, ringed in cyan.
void roundButton(QPainter& p, QPointF c, double r, bool sunk) {
    p.save();
    p.setPen(QPen(pal.outline, 1.0));
    QLinearGradient g(c - QPointF(r, r), c + QPointF(r, r));
    g.setColorAt(0, sunk ? pal.pressedTop : pal.hoverTop);
    g.setColorAt(1, sunk ? pal.pressedBottom : pal.faceBottom);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    if (sunk) {
        p.setPen(QPen(withAlpha(pal.accent, 170), 1.0));
        p.drawEllipse(c, r - 1.2, r - 1.2);
        p.setPen(QPen(withAlpha(pal.accent, 60), 1.0));
        p.drawEllipse(c, r - 2.2, r - 2.2);
    } else {
        p.setPen(QPen(withAlpha(pal.textBright, 70), 1.0));
        p.drawArc(QRectF(c.x() - r + 1.2, c.y() - r + 1.2, 2 * r - 2.4, 2 * r - 2.4), 40 * 16, 140 * 16);
    }
    p.restore();
}

// The corners under the punch and announcer buttons, cut from the plain dial so the buttons
// blend into the dial's rim.
QImage dialCorner(int x, int y) {
    return dial(0).copy(x, y, 30, 30).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

QList<int> announcedHours(int index) {
    switch (index) {
    case 1:
        return {0, 2, 4, 6, 8, 10};
    case 2:
        return {0, 3, 6, 9};
    case 3:
        return {0, 4, 8};
    case 4:
        return {0, 6};
    case 5:
        return {0};
    default:
        return {};
    }
}

QImage dial(int index) {
    // Radii stay inside 64.5: the small-digit cells in the top corners reach 65 from the centre.
    QImage img = canvas(137, 137, pal.inset);
    QPainter p(&img);
    prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.bevelDark);
    p.drawEllipse(dialCentre, 64.2, 64.2);
    QRadialGradient face(dialCentre - QPointF(0, 18), 80);
    face.setColorAt(0, pal.dialCentre);
    face.setColorAt(1, pal.dialEdge);
    p.setBrush(face);
    p.drawEllipse(dialCentre, 63.3, 63.3);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal.accent, 1.2));
    p.drawEllipse(dialCentre, 62.6, 62.6);

    // minute dots: the track the alarm mark runs on
    p.setPen(Qt::NoPen);
    p.setBrush(pal.bevelLight);
    for (int m = 0; m < 60; ++m)
        if (m % 5 != 0) p.drawEllipse(onDial(m, 59.0), 0.75, 0.75);

    const QList<int> lit = announcedHours(index);
    for (int h = 0; h < 12; ++h) {
        const bool major = h % 3 == 0;
        const double inner = major ? 48.5 : 53.0;
        const double outer = 59.5;
        const QPointF a = onDial(h * 5, inner), b = onDial(h * 5, outer);
        if (lit.contains(h)) {
            p.setPen(QPen(withAlpha(pal.accent, 90), 6.0, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(onDial(h * 5, inner - 0.5), onDial(h * 5, outer + 0.5));
            p.setPen(QPen(pal.highlight, 3.2, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(onDial(h * 5, inner - 1.0), onDial(h * 5, outer + 1.0));
        } else {
            p.setPen(QPen(major ? pal.text : pal.textDim, major ? 2.0 : 1.5, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(a, b);
        }
    }

    // centre ring; the centre button sits inside it
    p.setBrush(pal.inset);
    p.setPen(QPen(mix(pal.inset, pal.accent, 0.55), 1.0));
    p.drawEllipse(dialCentre, 10.5, 10.5);

    return img;
}

QImage punch(bool on) {
    QImage img = dialCorner(0, 107);
    QPainter p(&img);
    prepare(p);
    const QPointF c(13.5, 16.5);
    roundButton(p, c, 11, on);
    // power glyph: a broken ring with a stroke through the gap
    const QColor ink = on ? pal.accent : pal.text;
    const QPointF g = c + (on ? QPointF(0.5, 0.5) : QPointF(0, 0));
    if (on) {
        p.setPen(QPen(withAlpha(pal.accent, 70), 3.4, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(g.x() - 5, g.y() - 5, 10, 10), 120 * 16, 300 * 16);
        p.drawLine(g + QPointF(0, -6.5), g + QPointF(0, -1));
    }
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(g.x() - 5, g.y() - 5, 10, 10), 120 * 16, 300 * 16);
    p.drawLine(g + QPointF(0, -6.5), g + QPointF(0, -1));
    return img;
}

QImage announcer(int index) {
    static const char* const labels[6] = {"", "10", "15", "20", "30", "60"};
    QImage img = dialCorner(107, 107);
    QPainter p(&img);
    prepare(p);
    const QPointF c(16.5, 16.5);
    roundButton(p, c, 11, false);
    if (index > 0) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(withAlpha(pal.accent, 200), 1.0));
        p.drawEllipse(c, 9.8, 9.8);
        centredText(p, QRectF(c.x() - 9, c.y() - 9, 18, 18), QString::fromLatin1(labels[index]), 10, pal.accent, {},
                    withAlpha(pal.accent, 45));
    }
    return img;
}

QImage centre(bool alarmOn) {
    QImage img = canvas(18, 18);
    QPainter p(&img);
    prepare(p);
    const QPointF c(8.5, 8.5); // the dial's centre in this picture's pixels
    p.setPen(QPen(pal.outline, 1.0));
    QLinearGradient g(c - QPointF(7, 7), c + QPointF(7, 7));
    g.setColorAt(0, alarmOn ? QColor(0xFF, 0xD5, 0x8E) : pal.hoverTop);
    g.setColorAt(1, alarmOn ? pal.amberDeep : pal.pressedBottom);
    p.setBrush(g);
    p.drawEllipse(c, 7.5, 7.5);
    p.setPen(Qt::NoPen);
    p.setBrush(alarmOn ? QColor(0x3A, 0x22, 0x05) : pal.textDim);
    p.drawPath(bellPath(QRectF(5, 4, 7, 9)));
    return img;
}

QImage mark() {
    QImage img = canvas(9, 9);
    QPainter p(&img);
    prepare(p);
    const QPolygonF lozenge({QPointF(4.5, 0.3), QPointF(8.7, 4.5), QPointF(4.5, 8.7), QPointF(0.3, 4.5)});
    p.setPen(QPen(pal.outline, 1.0));
    p.setBrush(pal.textBright);
    p.drawPolygon(lozenge);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.accent);
    p.drawPolygon(QPolygonF({QPointF(4.5, 2.6), QPointF(6.4, 4.5), QPointF(4.5, 6.4), QPointF(2.6, 4.5)}));
    return img;
}

QImage arrow() {
    QImage img = canvas(22, 9, pal.inset);
    QPainter p(&img);
    prepare(p);
    const QPolygonF tip({QPointF(11, 1), QPointF(18, 8), QPointF(4, 8)});
    p.setPen(QPen(withAlpha(pal.accent, 70), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(tip);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.accent);
    p.drawPolygon(tip);
    return img;
}

QImage confirm() {
    QImage img = canvas(19, 15, pal.panel);
    QPainter p(&img);
    prepare(p);
    buttonFace(p, QRectF(0, 0, 19, 15), Look::Hover, 2.5);
    p.setPen(QPen(pal.accent, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(5.5, 7.5), QPointF(8.5, 10.5), QPointF(13.5, 4.5)}));
    return img;
}

// ---- skin ----

QImage skin() {
    // 400 wide; only the left 385 columns are inside the window.
    QImage img = canvas(400, 195, pal.body);
    QPainter p(&img);
    prepare(p);

    // window edge
    p.fillRect(QRect(0, 0, 385, 1), pal.bevelLight);
    p.fillRect(QRect(0, 0, 1, 195), pal.bevelLight);
    p.fillRect(QRect(0, 194, 385, 1), pal.bevelDark);
    p.fillRect(QRect(384, 0, 1, 195), pal.bevelDark);

    // header strip, y 0..19, with a groove below it
    p.fillRect(QRect(1, 1, 383, 19), pal.header);
    p.fillRect(QRect(1, 20, 383, 1), pal.bevelDark);
    p.fillRect(QRect(1, 21, 246, 1), mix(pal.body, pal.bevelLight, 0.45));
    centredText(p, QRectF(109, 1, 132, 19), QStringLiteral("VAKTO"), 10, pal.textDim, {}, Qt::transparent, 3.0);
    // maker's mark under the invisible link area at 264, 0 (25 x 17)
    p.setPen(QPen(mix(pal.header, pal.accent, 0.45), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(268.5, 2.5, 16, 13), 3, 3);
    centredText(p, QRectF(268, 2, 17, 14), QStringLiteral("V"), 10, mix(pal.header, pal.accent, 0.8));

    // tray behind the 3 x 4 project buttons (8..103, 33..148)
    well(p, QRect(4, 29, 104, 124), pal.well);

    // LCD window for the time, the seconds, the adjust arrows and the alarm row; flat `inset`
    // so the digit pictures, which share that background, disappear into it
    well(p, QRect(109, 22, 132, 130), pal.inset);
    // a tiny annunciator beside the alarm row, printed in unlit ink like a real LCD legend
    p.setPen(Qt::NoPen);
    p.setBrush(unlit());
    p.drawPath(bellPath(QRectF(224, 99, 9, 11)));

    // frame of the dial (the dial covers 248..384 x 20..156)
    p.fillRect(QRect(247, 20, 1, 138), pal.bevelDark);
    p.fillRect(QRect(247, 157, 138, 1), pal.bevelLight);

    // bottom tray: description line on the left, the ten presets (106..383, 164..187) on the right
    well(p, QRect(4, 160, 381, 32), pal.well);
    well(p, QRect(8, 170, 97, 15), mix(pal.well, pal.inset, 0.6));
    return img;
}

// ---- icons ----

namespace {

// An alarm clock on a 32-unit grid: two bells, legs, a ringed face with hands.
void drawAlarmClock(QPainter& p, bool on) {
    const QColor body = on ? pal.amber : pal.steel;
    const QColor deep = on ? pal.amberDeep : mix(pal.steel, pal.inset, 0.45);
    const QPointF c(16, 17.5);
    p.setPen(QPen(deep, 2.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 26), QPointF(6.5, 30));
    p.drawLine(QPointF(22.5, 26), QPointF(25.5, 30));
    p.setPen(QPen(deep, 1.0));
    p.setBrush(body);
    p.drawPie(QRectF(1.5, 1.5, 12, 12), 45 * 16, 180 * 16);
    p.drawPie(QRectF(18.5, 1.5, 12, 12), -45 * 16, 180 * 16);
    p.drawEllipse(c, 12.2, 12.2);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.inset);
    p.drawEllipse(c, 8.6, 8.6);
    p.setPen(QPen(on ? pal.textBright : pal.text, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -6));
    p.drawLine(c, c + QPointF(4.5, 0));
}

QImage onGrid(int size, const std::function<void(QPainter&)>& paint) {
    QImage img = canvas(size, size);
    QPainter p(&img);
    prepare(p);
    p.scale(size / 32.0, size / 32.0);
    paint(p);
    return img;
}

} // namespace

QImage alarmClockIcon(int size, bool alarmOn) {
    return onGrid(size, [alarmOn](QPainter& p) { drawAlarmClock(p, alarmOn); });
}

QImage ringingIcon(int size) {
    return onGrid(size, [](QPainter& p) {
        p.save();
        p.translate(16, 17);
        p.scale(0.78, 0.78);
        p.translate(-16, -17);
        drawAlarmClock(p, true);
        p.restore();
        p.setPen(QPen(pal.amber, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(1, 3, 30, 30), 20 * 16, 45 * 16);
        p.drawArc(QRectF(1, 3, 30, 30), 115 * 16, 45 * 16);
    });
}

QImage aboutIcon(int size) {
    return onGrid(size, [](QPainter& p) {
        p.setPen(QPen(pal.outline, 1.0));
        QLinearGradient g(QPointF(0, 2), QPointF(0, 30));
        g.setColorAt(0, mix(pal.accent, pal.textBright, 0.3));
        g.setColorAt(1, mix(pal.accent, pal.inset, 0.25));
        p.setBrush(g);
        p.drawEllipse(QPointF(16, 16), 14.5, 14.5);
        p.setPen(Qt::NoPen);
        p.setBrush(pal.inset);
        p.drawEllipse(QPointF(16, 9), 2.6, 2.6);
        p.drawRoundedRect(QRectF(13.6, 13, 4.8, 12.5), 1.2, 1.2);
    });
}

QImage appIcon(int size) {
    return onGrid(size, [size](QPainter& p) {
        QLinearGradient g(QPointF(0, 1), QPointF(0, 31));
        g.setColorAt(0, pal.hoverBottom);
        g.setColorAt(1, pal.inset);
        p.setPen(QPen(pal.outline, 32.0 / size));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(1, 1, 30, 30), 6.5, 6.5);
        const QPointF c(16, 16);
        p.setPen(QPen(pal.accent, 1.6));
        p.setBrush(pal.dialEdge);
        p.drawEllipse(c, 11.8, 11.8);
        const int ticks = size >= 48 ? 12 : size >= 32 ? 4 : 0;
        for (int h = 0; h < ticks; ++h) {
            const double a = h * (12 / ticks) * 30.0 * 3.14159265358979323846 / 180.0;
            const QPointF u(std::sin(a), -std::cos(a));
            const bool major = (h * (12 / ticks)) % 3 == 0;
            p.setPen(QPen(major ? pal.text : pal.textDim, major ? 1.3 : 0.8, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(c + u * (major ? 7.8 : 8.8), c + u * 10.4);
        }
        p.setPen(QPen(pal.textBright, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, c + QPointF(-4.6, -2.7)); // hour hand at ten
        p.setPen(QPen(pal.accent, 1.7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, c + QPointF(5.8, -6.4)); // minute hand near ten past
        if (size >= 32) {
            p.setPen(QPen(pal.accentSecond, 0.7, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(c, c + QPointF(1.8, 8.8));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(pal.textBright);
        p.drawEllipse(c, 1.5, 1.5);
    });
}

// ---- whole-window previews ----

namespace {

// Dial point rounded the way the program places hands and the mark (ties to even).
QPoint roundedDialPoint(double value, double step, double factor) {
    const float theta = static_cast<float>(3.14159265 / 2 - step * value);
    const double x = (1 + factor * std::cos(static_cast<double>(theta))) * 68.5;
    const double y = (1 - factor * std::sin(static_cast<double>(theta))) * 68.5;
    return {static_cast<int>(std::nearbyint(x)), static_cast<int>(std::nearbyint(y))};
}

} // namespace

QImage mockup(bool busy) {
    QImage win = skin().copy(0, 0, 385, 195).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&win);
    prepare(p);
    const int xs[5] = {112, 136, 160, 168, 192};
    const int hour = busy ? 14 : 9, minute = busy ? 7 : 41, second = busy ? 31 : 27;
    const int countdown = busy ? 10 : 0;

    p.drawImage(2, 0, headerAlarm(busy));
    p.drawImage(298, 0, headerQuit(false));
    p.drawImage(326, 0, headerHide(busy));
    for (int k = 1; k <= 12; ++k)
        p.drawImage(8 + 32 * ((k - 1) % 3), 33 + 29 * ((k - 1) / 3), project(k, busy && k == 5));

    const int timeRow[5] = {hour / 10, hour % 10, 12, minute / 10, minute % 10};
    const int alarmRow[5] = {1, 4, 12, 1, 7};
    const int blankRow[5] = {10, 10, 11, 10, 10};
    for (int i = 0; i < 5; ++i) {
        p.drawImage(xs[i], 34, bigDigit(timeRow[i]));
        p.drawImage(xs[i], 96, bigDigit(busy ? alarmRow[i] : blankRow[i]));
    }
    p.drawImage(220, 25, smallDigit(second / 10));
    p.drawImage(228, 25, smallDigit(second % 10));
    if (busy)
        for (int x : {115, 139, 171, 195})
            p.drawImage(x, x == 171 ? 86 : 84, arrow()); // one arrow held down

    QImage face = dial(busy ? 1 : 2);
    {
        QPainter f(&face);
        f.setRenderHint(QPainter::Antialiasing);
        const QPointF from(68, 68);
        f.setPen(QPen(pal.accent, 5, Qt::SolidLine, Qt::FlatCap));
        f.drawLine(from, QPointF(roundedDialPoint(hour, 0.52359878, 0.5)));
        f.setPen(QPen(pal.accent, 3, Qt::SolidLine, Qt::FlatCap));
        f.drawLine(from, QPointF(roundedDialPoint(minute, 0.10471976, 0.7)));
        f.setPen(QPen(pal.accentSecond, 1, Qt::SolidLine, Qt::FlatCap));
        f.drawLine(from, QPointF(roundedDialPoint(second, 0.10471976, 0.8)));
        const QPoint m = roundedDialPoint(countdown, 0.10471976, 0.88);
        f.drawImage(m.x() - 4, m.y() - 4, mark());
        const int punchRow[3] = {10, busy ? 4 : 10, busy ? 5 : 10};
        for (int i = 0; i < 3; ++i)
            f.drawImage(-1 + 8 * i, 5, smallDigit(punchRow[i]));
        f.drawImage(114, 5, smallDigit(busy ? 1 : 10));
        f.drawImage(122, 5, smallDigit(busy ? 0 : 10));
        f.drawImage(60, 60, centre(busy));
        f.drawImage(0, 107, punch(busy));
        f.drawImage(107, 107, announcer(busy ? 1 : 2));
    }
    p.drawImage(248, 20, face);

    for (int i = 0; i < 10; ++i)
        p.drawImage(presetLefts[i], 164, preset(i, busy && i == 4));
    if (busy) {
        p.fillRect(QRect(8, 170, 97, 15), pal.panel);
        QFont f(g_family);
        f.setPixelSize(10);
        p.setFont(f);
        p.setPen(pal.text);
        p.drawText(QRect(12, 170, 93, 15), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Project 5 [0:45]"));
    }
    return win;
}

// ---- contact sheet ----

QImage contactSheet(const QList<Picture>& pictures) {
    const int pageWidth = 2400, margin = 24, gap = 28, zoom = 4;
    const QColor page(0x2A, 0x2C, 0x30), ink(0xD8, 0xDC, 0xE2), rule(0x44, 0x48, 0x50);
    const QFont labelFont = boldFont(12), headFont = boldFont(20);
    const QFontMetrics labelMetrics(labelFont);

    auto checker = [](QPainter& p, const QRect& r, int cell) {
        for (int y = r.top(); y <= r.bottom(); y += cell)
            for (int x = r.left(); x <= r.right(); x += cell) {
                const bool odd = ((x - r.left()) / cell + (y - r.top()) / cell) % 2;
                p.fillRect(QRect(x, y, cell, cell).intersected(r),
                           odd ? QColor(0x9A, 0x9A, 0x9A) : QColor(0xC8, 0xC8, 0xC8));
            }
    };

    // Two passes: the first measures the page, the second paints it.
    QImage sheet;
    for (int pass = 0; pass < 2; ++pass) {
        std::unique_ptr<QPainter> p;
        if (pass == 1) {
            p = std::make_unique<QPainter>(&sheet);
            p->setRenderHint(QPainter::TextAntialiasing);
            p->setFont(headFont);
            p->setPen(ink);
            p->drawText(QPoint(margin, margin + 20), QStringLiteral("Vakto pictures at 1x and 4x (assets/)"));
        }
        int x = margin, y = margin + 40, rowHeight = 0;
        QString group;
        for (const Picture& pic : pictures) {
            const QSize s = pic.image.size();
            const QString label = QStringLiteral("%1  %2x%3").arg(pic.file).arg(s.width()).arg(s.height());
            const int cellW = std::max(labelMetrics.horizontalAdvance(label), s.width() * (1 + zoom) + 12);
            const int cellH = 20 + s.height() * zoom;
            if (pic.group != group) {
                group = pic.group;
                y += rowHeight + (rowHeight ? gap : 0);
                x = margin;
                rowHeight = 0;
                if (p) {
                    p->setPen(rule);
                    p->drawLine(margin, y, pageWidth - margin, y);
                    p->setFont(headFont);
                    p->setPen(ink);
                    p->drawText(QPoint(margin, y + 26), group);
                }
                y += 40;
            }
            if (x + cellW > pageWidth - margin && x > margin) {
                x = margin;
                y += rowHeight + gap;
                rowHeight = 0;
            }
            if (p) {
                p->setFont(labelFont);
                p->setPen(ink);
                p->drawText(QPoint(x, y + 13), label);
                const QRect one(x, y + 20, s.width(), s.height());
                const QRect big(x + s.width() + 12, y + 20, s.width() * zoom, s.height() * zoom);
                if (pic.alpha) {
                    checker(*p, one, 4);
                    checker(*p, big, 16);
                }
                p->drawImage(one, pic.image);
                p->drawImage(big, pic.image.scaled(big.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
            }
            x += cellW + gap;
            rowHeight = std::max(rowHeight, cellH);
        }
        if (pass == 0) {
            sheet = QImage(pageWidth, y + rowHeight + margin, QImage::Format_RGB32);
            sheet.fill(page);
        }
    }
    return sheet;
}

} // namespace art
