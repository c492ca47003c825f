#include "app/pointer.h"

#include "app/mainwindow.h"
#include "app/startup.h"

void PointerPress(Vakto& v, QPoint at, int button) {
    if (v.app.ended) return;
    CatchUp(v);
    QPoint local;
    Element* hit = HitTest(v, at, &local);
    v.app.captured = hit;
    v.app.pressedBare = hit == nullptr;
    const MouseEv me{button, local.x(), local.y()};
    if (!hit) {
        OnMainMouseDown(v, me);
        return;
    }
    // Only the left button drags, as it moves the window and presses every other element.
    if (hit->dragSource && button == 1) v.alarm.dragging = true;
    if (hit->onPress) hit->onPress(v, hit->index, me);
}

void PointerMove(Vakto& v, QPoint at, int buttons) {
    if (v.app.ended) return;
    QPoint local;
    if (v.alarm.dragging) {
        Element* over = HitTest(v, at, &local);
        if (over && over->onDragOver) over->onDragOver(v, over->index, MouseEv{buttons, local.x(), local.y()});
        return;
    }
    // Outside the window a move arrives only while a button pressed inside holds the pointer; a
    // pointer that merely left the window (through the top edge, say) reaches nothing.
    const bool inside = QRect(QPoint(0, 0), v.ports.window.size()).contains(at);
    Element* target = nullptr;
    bool bare = false;
    if (buttons != 0 && (v.app.captured || v.app.pressedBare)) {
        target = v.app.captured;
        bare = v.app.pressedBare;
        local = target ? at - WindowOrigin(v, *target) : at;
    } else if (!inside) {
        return;
    } else {
        target = HitTest(v, at, &local);
        bare = target == nullptr;
    }
    const MouseEv me{buttons, local.x(), local.y()};
    if (target) {
        if (target->onMove) target->onMove(v, target->index, me);
    } else if (bare) {
        OnMainMouseMove(v, me);
    }
}

void PointerRelease(Vakto& v, QPoint at, int button, int buttonsStillHeld) {
    if (v.app.ended) return;
    CatchUp(v);
    Element* captured = v.app.captured;
    if (buttonsStillHeld == 0) {
        v.app.captured = nullptr;
        v.app.pressedBare = false;
    }
    if (v.alarm.dragging) {
        // Dropping the mark ends the drag with no further action.
        v.alarm.dragging = false;
        return;
    }
    if (!captured) return;
    const QPoint local = at - WindowOrigin(v, *captured);
    const MouseEv me{button, local.x(), local.y()};
    if (captured->onRelease) captured->onRelease(v, captured->index, me);
    if (!v.app.ended && captured->onClick && HitTest(v, at) == captured) captured->onClick(v, captured->index, me);
}
