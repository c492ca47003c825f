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
    const QSize screen = w.screenSize();
    const int sw = screen.width();
    const int sh = screen.height();
    if (sh - c.y() < StillCornerHeight && sw - c.x() < StillCornerWidth) return;
    const QSize size = w.size();
    // Where the top-left corner goes so that the pressed spot stays under the pointer.
    const int newLeft = c.x() - v.app.pressX;
    const int newTop = c.y() - v.app.pressY;
    // The right and bottom edges are tested first, so they win on a screen too small for both.
    int left = newLeft;
    if (newLeft >= sw - size.width() - SnapGap)
        left = sw - size.width();
    else if (newLeft <= SnapGap)
        left = 0;
    int top = newTop;
    if (newTop + size.height() > sh - SnapGap)
        top = sh - size.height();
    else if (newTop <= SnapGap)
        top = 0;
    w.move(QPoint(left, top));
}
