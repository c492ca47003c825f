#include "app/frmvakto.h"

#include "app/mainwindow.h"
#include "app/pointer.h"
#include "app/shell.h"
#include "app/startup.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

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
    QPainter p(this);
    // One rectangle at a time: a clip of several rectangles sends the raster engine down its span
    // path, which splits larger fills over a thread pool.
    for (const QRect& clip : ev->region())
        paintRect(p, clip);
}

void FrmVakto::paintRect(QPainter& p, const QRect& clip) {
    p.setClipRect(clip);
    p.drawPixmap(clip.topLeft(), m_shell.pixmaps().skin(), clip);
    for (const Element* e : m_v.main.mainOrder) {
        if (!e->visible) continue;
        const QRect r = windowRect(*e);
        if (!r.intersects(clip)) continue;
        if (e == &m_v.main.picClock) {
            paintElement(p, *e);
            p.setClipRect(r.intersected(clip));
            for (const Element* c : m_v.main.dialOrder)
                if (c->visible && windowRect(*c).intersects(clip)) paintElement(p, *c);
            p.setClipRect(clip);
            continue;
        }
        paintElement(p, *e);
    }
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
