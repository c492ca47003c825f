#pragma once
// The element model: every visual change of Vakto is "element X shows picture {strip, index}".
// Core procedures write it; the shell paints it and repaints only what changed.

#include "model/pictures.h"

#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

struct Vakto;

// Indexes into the digit strips.
constexpr std::int16_t DigitBlank = 10;
constexpr std::int16_t ColonOff = 11;
constexpr std::int16_t ColonOn = 12;

struct PicRef {
    Strip strip = Strip::None;
    std::int16_t index = 0;
    bool operator==(const PicRef& o) const { return strip == o.strip && index == o.index; }
    bool operator!=(const PicRef& o) const { return !(*this == o); }
};

// Mouse event as an element receives it: buttons held (1 left, 2 right, 4 middle) and the
// position relative to the element's top-left corner, in pixels.
struct MouseEv {
    int button = 0;
    int x = 0;
    int y = 0;
};

using Handler = void (*)(Vakto&, int index, const MouseEv&);

enum class Container : std::uint8_t { Main, Dial, Alarm };

struct Element {
    const char* name = "";
    std::int16_t index = -1; // index within its element array, -1 for a single element
    Container parent = Container::Main;
    QRect rect; // relative to its container, pixels
    PicRef pic;
    bool visible = true;
    QString text; // labels, text boxes, buttons
    QString tag;  // small per-element state ("0"/"1" hover flags)
    // What the element does with the pointer. A null handler ignores the event, but the event
    // still stops at the element (it does not fall through to what lies below).
    Handler onPress = nullptr;
    Handler onRelease = nullptr;
    Handler onClick = nullptr;
    Handler onMove = nullptr;
    Handler onDragOver = nullptr;
    bool dragSource = false; // a press starts a drag-and-drop of this element
    bool dirty = true;       // changed since the shell last painted it
};

// Setters mark an element dirty only when something really changes, so that the shell
// repaints what changed and nothing else.
inline void SetPic(Element& e, PicRef p) {
    if (e.pic != p) {
        e.pic = p;
        e.dirty = true;
    }
}
inline void SetPic(Element& e, Strip s, int index) {
    SetPic(e, PicRef{s, static_cast<std::int16_t>(index)});
}
inline void SetVisible(Element& e, bool v) {
    if (e.visible != v) {
        e.visible = v;
        e.dirty = true;
    }
}
inline void SetText(Element& e, const QString& t) {
    if (e.text != t) {
        e.text = t;
        e.dirty = true;
    }
}
inline void SetPos(Element& e, int left, int top) {
    if (e.rect.left() != left || e.rect.top() != top) {
        e.rect.moveTo(left, top);
        e.dirty = true;
    }
}
