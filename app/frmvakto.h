#pragma once
// The main window: paints the skin and the element model, and turns pointer events into calls
// of the elements' handlers. It decides nothing itself.

#include "model/vakto.h"

#include <QWidget>
#include <memory>
#include <vector>

class Shell;
class QLineEdit;
class WaylandOutput;
class X11Output;

class FrmVakto : public QWidget {
    Q_OBJECT
public:
    explicit FrmVakto(Shell& shell);
    ~FrmVakto() override;

    // Repaints what changed since the last call: at once, or (now = false) with the next batch of
    // window updates, which merges the many calls of a pointer drag into one repaint.
    void sync(bool now = false);
    QLineEdit* descriptionEditor();
    // True while the next close comes from the program itself (unload), not from the user.
    void setSystemClose(bool on) { m_systemClose = on; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct Painted {
        Element* e;
        QRect rect; // window rect when last painted
    };
    QRect windowRect(const Element& e) const;
    void paintElement(QPainter& p, const Element& e);
    // Calls draw(element, within) for every layer of the window that meets `clip`, bottom first:
    // the skin (element null), then each visible element that meets it; `within` is the part
    // the layer may paint (a dial element's is also inside the dial). Stops at a false.
    template <typename Draw> bool forEachLayer(const QRect& clip, Draw&& draw) const;
    // Paints the skin and every element that meets `clip`, clipped to it.
    void paintRect(QPainter& p, const QRect& clip);
    // Sends the changed places straight to the X server or the Wayland compositor; returns what it
    // could not send that way, for Qt's repaint.
    QRegion showDirect(const QRegion& changes);
    X11Output* directOutput();
    WaylandOutput* waylandOutput();
    // Takes the Wayland sub-surface away; Qt's copy below it is repainted, it may be old.
    void dropWayland();
    // The window's pixels of `r` into m_scratch, as paintRect paints them; false where paintRect is
    // needed: a text, the text box, a picture of a kind other than plain or premultiplied 32-bit.
    bool compose(const QRect& r);

    Shell& m_shell;
    Vakto& m_v;
    std::vector<Painted> m_all;
    QLineEdit* m_edit = nullptr;
    bool m_systemClose = false;
    bool m_dragCursor = false;
    std::unique_ptr<X11Output> m_x11; // null where the window is not on X11 or not plain 32-bit
    bool m_x11Tried = false;
    // Over the dial and the digits, where the tick changes pixels; null where the window is not on
    // Wayland, is scaled, or is hidden.
    std::unique_ptr<WaylandOutput> m_wl;
    bool m_wlUnavailable = false; // the platform or the compositor offers no such output
    bool m_paintedSinceShow = false;
    std::vector<quint32> m_scratch; // one rectangle of composed pixels, row after row
};
