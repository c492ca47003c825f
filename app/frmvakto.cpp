#include "app/frmvakto.h"

#include "app/mainwindow.h"
#include "app/pointer.h"
#include "app/shell.h"
#include "app/startup.h"
#include "app/x11output.h"
#include "clockface/pixlib.h"
#include "platform/waylandoutput.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cstring>

namespace {
const QColor DescBack(41, 59, 93);
const QColor DescText(164, 212, 255);

int Buttons(const QMouseEvent* e) {
    // Qt's button bits match the mask the handlers expect: 1 left, 2 right, 4 middle.
    return int(e->buttons() & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton));
}
} // namespace

FrmVakto::FrmVakto(Shell& shell)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_shell(shell), m_v(shell.vakto()) {
    setWindowTitle(QStringLiteral("Vakto"));
    setObjectName(QStringLiteral("frmVakto"));
    setFixedSize(385, 195);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowIcon(shell.pixmaps().icon(QStringLiteral("ICO1")));

    for (Element* e : m_v.main.mainOrder)
        m_all.push_back({e, QRect()});
    for (Element* e : m_v.main.dialOrder)
        m_all.push_back({e, QRect()});
}

FrmVakto::~FrmVakto() = default;

QLineEdit* FrmVakto::descriptionEditor() {
    // Built on first use: a text box loads the font database, which costs more start-up time
    // than the rest of the window together.
    if (!m_edit) {
        m_edit = new QLineEdit(this);
        m_edit->setObjectName(QStringLiteral("txtDescription"));
        m_edit->setFrame(false);
        m_edit->setGeometry(m_v.main.txtDescription.rect);
        QPalette pal = m_edit->palette();
        pal.setColor(QPalette::Base, DescBack);
        pal.setColor(QPalette::Text, Qt::white);
        m_edit->setPalette(pal);
        QFont f = font();
        f.setPixelSize(11);
        m_edit->setFont(f);
        m_edit->setTextMargins(0, 0, 0, 0);
        m_edit->hide();
        connect(m_edit, &QLineEdit::textEdited, this, [this](const QString& t) { m_v.main.txtDescription.text = t; });
    }
    return m_edit;
}

QRect FrmVakto::windowRect(const Element& e) const {
    const QRect r(WindowOrigin(m_v, e), e.rect.size());
    // Children of the dial are clipped by it.
    return e.parent == Container::Dial ? r.intersected(m_v.main.picClock.rect) : r;
}

void FrmVakto::sync(bool now) {
    // A region of the changed rectangles, not their bounding box: the seconds digits and the
    // second hand lie apart, and a box around both sends several times the pixels to the screen.
    QRegion changed;
    for (Painted& p : m_all) {
        Element& e = *p.e;
        if (!e.dirty) continue;
        e.dirty = false;
        const QRect r = windowRect(e);
        if (&e == &m_v.main.picClock && p.rect == r && !m_v.analog.surface.isNull()) {
            // The dial stayed in place: only where the hands moved did its pixels change.
            for (const QRect& c : m_v.analog.changed)
                changed |= c.translated(r.topLeft());
        } else {
            changed |= p.rect;
            changed |= r;
        }
        p.rect = r;
    }
    m_v.analog.changed.fill(QRect());
    // A tick's changes go to the X server at once; what cannot go that way Qt repaints. Under the
    // Wayland sub-surface every change goes to it, or it would hide the change.
    if ((now || m_wl) && !changed.isEmpty()) changed = showDirect(changed);
    if (!changed.isEmpty()) {
        if (now)
            repaint(changed);
        else
            update(changed);
    }
    // Dragging the mark shows a closed hand, so the user sees the drag has started.
    if (m_v.alarm.dragging != m_dragCursor) {
        m_dragCursor = m_v.alarm.dragging;
        if (m_dragCursor)
            setCursor(Qt::ClosedHandCursor);
        else
            unsetCursor();
    }
    Element& t = m_v.main.txtDescription;
    if (!m_edit && !t.visible) return;
    QLineEdit* edit = descriptionEditor();
    if (edit->text() != t.text) edit->setText(t.text);
    if (edit->isVisible() != t.visible) {
        edit->setVisible(t.visible);
        if (t.visible) edit->setFocus();
    }
}

void FrmVakto::paintElement(QPainter& p, const Element& e) {
    const QRect r(WindowOrigin(m_v, e), e.rect.size());
    if (&e == &m_v.main.picClock) {
        if (!m_v.analog.surface.isNull())
            p.drawImage(r.topLeft(), m_v.analog.surface);
        else
            p.drawPixmap(r.topLeft(), m_shell.pixmaps().pixmap(e.pic));
        return;
    }
    if (&e == &m_v.main.lblDescLeft || &e == &m_v.main.lblDescription) {
        p.fillRect(r, DescBack);
        if (!e.text.isEmpty()) {
            QFont f = font();
            f.setPixelSize(11);
            p.setFont(f);
            p.setPen(DescText);
            p.drawText(r.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, e.text);
        }
        return;
    }
    if (e.pic.strip != Strip::None) p.drawPixmap(r.topLeft(), m_shell.pixmaps().pixmap(e.pic));
}

void FrmVakto::paintEvent(QPaintEvent* ev) {
    m_paintedSinceShow = true;
    QPainter p(this);
    // One rectangle at a time: a clip of several rectangles sends the raster engine down its span
    // path, which splits larger fills over a thread pool.
    for (const QRect& clip : ev->region())
        paintRect(p, clip);
}

template <typename Draw> bool FrmVakto::forEachLayer(const QRect& clip, Draw&& draw) const {
    if (!draw(nullptr, clip)) return false;
    for (const Element* e : m_v.main.mainOrder) {
        if (!e->visible) continue;
        const QRect r = windowRect(*e);
        if (!r.intersects(clip)) continue;
        if (!draw(e, clip)) return false;
        if (e != &m_v.main.picClock) continue;
        // Children of the dial are clipped by it.
        const QRect onDial = r.intersected(clip);
        for (const Element* c : m_v.main.dialOrder)
            if (c->visible && windowRect(*c).intersects(clip) && !draw(c, onDial)) return false;
    }
    return true;
}

void FrmVakto::paintRect(QPainter& p, const QRect& clip) {
    QRect current = clip;
    p.setClipRect(clip);
    forEachLayer(clip, [&](const Element* e, const QRect& within) {
        if (within != current) p.setClipRect(current = within);
        if (e)
            paintElement(p, *e);
        else
            p.drawPixmap(clip.topLeft(), m_shell.pixmaps().skin(), clip);
        return true;
    });
}

X11Output* FrmVakto::directOutput() {
    QWindow* win = windowHandle();
    if (!win || !isVisible() || !win->isExposed() || devicePixelRatio() != 1.0) return nullptr;
    // Qt may replace the native window (a change of window flags does); the output follows it.
    if (m_x11 && m_x11->window() != quint32(win->winId())) {
        m_x11.reset();
        m_x11Tried = false;
    }
    if (!m_x11Tried) {
        m_x11Tried = true;
        m_x11 = X11Output::create(win);
        // The server forgets what a covered or unmapped window showed and asks for it again; what
        // went past Qt's copy of the window must then be painted anew, not taken from that copy.
        if (m_x11) win->installEventFilter(this);
    }
    return m_x11.get();
}

bool FrmVakto::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Expose && watched == windowHandle()) update();
    return QWidget::eventFilter(watched, e);
}

WaylandOutput* FrmVakto::waylandOutput() {
    QWindow* win = windowHandle();
    if (m_wl && !m_wl->sitsOn(win)) dropWayland();
    if (m_wl || m_wlUnavailable) return m_wl.get();
    // Made once Qt has shown the window's first picture: before, the sub-surface would sit on a
    // surface the compositor has not mapped yet.
    if (!win || !isVisible() || isMinimized() || !win->isExposed() || !m_paintedSinceShow || devicePixelRatio() != 1.0)
        return nullptr;
    // The places every tick changes: the seconds, the digits and the dial (no text lies there).
    QRect area = windowRect(m_v.main.picClock) | windowRect(m_v.main.imgSet[5]) | windowRect(m_v.main.imgSet[6]);
    for (const Element& e : m_v.main.imgTime)
        area |= windowRect(e);
    m_wl = WaylandOutput::create(win, area & rect());
    if (!m_wl) {
        m_wlUnavailable = true;
        return nullptr;
    }
    // From here on the sub-surface hides Qt's pixels of the area: it starts with all of them. A
    // picture there of a kind compose() cannot draw stays so: Qt paints the window from then on.
    if (!compose(m_wl->area())) {
        m_wl.reset();
        m_wlUnavailable = true;
        return nullptr;
    }
    m_wl->put(m_wl->area(), m_scratch.data());
    return m_wl.get();
}

void FrmVakto::dropWayland() {
    if (!m_wl) return;
    m_wl.reset();
    update();
}

void FrmVakto::hideEvent(QHideEvent* e) {
    // Qt has dropped the window's surface, and the sub-surface on it shows nothing any more.
    m_paintedSinceShow = false;
    dropWayland();
    QWidget::hideEvent(e);
}

QRegion FrmVakto::showDirect(const QRegion& changes) {
    if (WaylandOutput* wl = directOutput() ? nullptr : waylandOutput()) {
        QRegion rest;
        for (const QRect& r : changes) {
            const QRect inside = r & wl->area();
            if (!inside.isEmpty()) {
                if (!compose(inside)) {
                    // Something there only Qt can paint: Qt shows it all again, from then on.
                    dropWayland();
                    m_wlUnavailable = true;
                    return changes;
                }
                wl->put(inside, m_scratch.data());
            }
            // Qt paints the rest; what it paints under the sub-surface stays hidden there.
            if (inside != r) rest |= r;
        }
        wl->flush();
        return rest;
    }
    X11Output* out = directOutput();
    if (!out) return changes;
    QRegion rest;
    bool sent = false;
    for (const QRect& r : changes) {
        if (!compose(r)) {
            rest |= r;
            continue;
        }
        out->put(r, m_scratch.data());
        sent = true;
    }
    if (sent) out->flush();
    return rest;
}

namespace {
// Draws `pic`, placed with its top left at `at`, over the composed rectangle `r` (pixels `out`, row
// after row), inside `clip` only: a plain copy for an opaque picture, Qt's blend for a premultiplied
// one. False for a picture of any other kind.
bool DrawPicture(quint32* out, const QRect& r, const QImage& pic, QPoint at, const QRect& clip) {
    const bool opaque = pic.format() == QImage::Format_RGB32;
    if ((!opaque && pic.format() != QImage::Format_ARGB32_Premultiplied) || pic.devicePixelRatio() != 1.0) return false;
    const QRect part = QRect(at, pic.size()) & clip & r;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        const auto* src = reinterpret_cast<const quint32*>(pic.constScanLine(y - at.y())) + (part.left() - at.x());
        quint32* dst = out + std::ptrdiff_t(y - r.top()) * r.width() + (part.left() - r.left());
        if (opaque) {
            std::memcpy(dst, src, std::size_t(part.width()) * 4);
            continue;
        }
        for (int x = 0; x < part.width(); ++x)
            dst[x] = OverPremultiplied(dst[x], src[x]);
    }
    return true;
}
} // namespace

bool FrmVakto::compose(const QRect& r) {
    // The layers paintRect paints, without a painter. Texts are left to paintRect.
    if (!rect().contains(r)) return false;
    if (m_edit && m_edit->isVisible() && m_edit->geometry().intersects(r)) return false;
    // Room for the whole window, made once: a tick neither allocates nor clears it.
    const std::size_t whole = std::size_t(width()) * std::size_t(height());
    if (m_scratch.size() < whole) m_scratch.resize(whole);
    quint32* out = m_scratch.data();
    DepotPixmaps& pixmaps = m_shell.pixmaps();
    return forEachLayer(r, [&](const Element* e, const QRect& within) {
        if (!e) {
            // The skin is opaque and covers the rectangle: nothing of Qt's copy of the window
            // shows through.
            const QImage skin = pixmaps.skin().toImage(); // toImage shares a pixmap's pixels
            return skin.format() == QImage::Format_RGB32 && skin.rect().contains(r) &&
                   DrawPicture(out, r, skin, QPoint(0, 0), r);
        }
        if (e == &m_v.main.lblDescLeft || e == &m_v.main.lblDescription) return false;
        const QPoint at = WindowOrigin(m_v, *e);
        if (e == &m_v.main.picClock && !m_v.analog.surface.isNull())
            return DrawPicture(out, r, m_v.analog.surface, at, within);
        return e->pic.strip == Strip::None || DrawPicture(out, r, pixmaps.pixmap(e->pic).toImage(), at, within);
    });
}

void FrmVakto::mousePressEvent(QMouseEvent* ev) {
    PointerPress(m_v, ev->position().toPoint(), int(ev->button()));
    m_shell.sync();
}

void FrmVakto::mouseMoveEvent(QMouseEvent* ev) {
    PointerMove(m_v, ev->position().toPoint(), Buttons(ev));
    m_shell.sync();
}

void FrmVakto::mouseReleaseEvent(QMouseEvent* ev) {
    PointerRelease(m_v, ev->position().toPoint(), int(ev->button()), Buttons(ev));
    if (!m_v.app.ended) m_shell.sync();
}

void FrmVakto::closeEvent(QCloseEvent* ev) {
    const bool user = !m_systemClose;
    if (OnCloseRequest(m_v, user)) {
        ev->ignore();
        m_shell.sync();
        return;
    }
    ev->accept();
}
