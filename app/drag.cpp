#include "app/drag.h"

void DragAndSnap(Vakto& v, int button, int, int, int) {
    if (button != 1) return; // the left button alone
    WindowPort& w = v.ports.window;
    if (!w.canPlaceItself()) {
        // The compositor moves the window itself (and snaps by its own rules, if any).
        w.startSystemMove();
        return;
    }
    const QPoint c = w.cursorPos();
    // The edges are those of the screen under the pointer, so the window can be dragged onto every
    // monitor of the desktop, wherever each one lies.
    const QRect screen = w.screenGeometryAt(c);
    const int right = screen.x() + screen.width(); // one past the last column, like the window's edge
    const int bottom = screen.y() + screen.height();
    if (bottom - c.y() < StillCornerHeight && right - c.x() < StillCornerWidth) return;
    const QSize size = w.size();
    // Where the top-left corner goes so that the pressed spot stays under the pointer.
    const int newLeft = c.x() - v.app.pressX;
    const int newTop = c.y() - v.app.pressY;
    // The right and bottom edges are tested first, so they win on a screen too small for both.
    int left = newLeft;
    if (newLeft >= right - size.width() - SnapGap)
        left = right - size.width();
    else if (newLeft - screen.x() <= SnapGap)
        left = screen.x();
    int top = newTop;
    if (newTop + size.height() > bottom - SnapGap)
        top = bottom - size.height();
    else if (newTop - screen.y() <= SnapGap)
        top = screen.y();
    w.move(QPoint(left, top));
}
