#include "app/mainwindow.h"

#include "alarm/alarmsetting.h"
#include "app/drag.h"
#include "app/startup.h"
#include "model/depot.h"
#include "tray/traymenu.h"

namespace {

void Init(Element& e, const char* name, int index, Container parent, QRect rect, PicRef pic, bool visible = true) {
    e.name = name;
    e.index = static_cast<std::int16_t>(index);
    e.parent = parent;
    e.rect = rect;
    e.pic = pic;
    e.visible = visible;
    e.dirty = true;
}

// An element showing a depot picture is as large as the picture the table of pictures gives.
void Init(Element& e, const char* name, int index, Container parent, QPoint at, PicRef pic, bool visible = true) {
    Init(e, name, index, parent, QRect(at, PictureSize(pic)), pic, visible);
}

constexpr int TimeX[5] = {112, 136, 160, 168, 192};
constexpr int CorrectX[4] = {115, 139, 171, 195};
constexpr int FixedLeft[10] = {106, 135, 163, 192, 221, 245, 270, 299, 327, 356};

void OnHeaderXMove(Vakto& v, int, const MouseEv&) {
    HoverHeaderButtons(v, 1, 0);
}
void OnHeaderVMove(Vakto& v, int, const MouseEv&) {
    HoverHeaderButtons(v, 0, 1);
}
void OnHeaderXRelease(Vakto& v, int, const MouseEv&) {
    QuitProgram(v);
}
void OnHeaderVRelease(Vakto& v, int, const MouseEv&) {
    HideToTray(v);
}
void OnHeaderClick(Vakto& v, int, const MouseEv&) {
    ToggleAlarm(v);
}
void OnClockMove(Vakto& v, int, const MouseEv&) {
    HoverHeaderButtons(v, 0, 0);
}

} // namespace

void BuildMainModel(Vakto& v) {
    MainModel& m = v.main;
    const Container M = Container::Main;
    const Container D = Container::Dial;

    Init(m.imgHeader, "imgHeader", -1, M, QPoint(2, 0), {Strip::imgHeader, 1});
    Init(m.imgAuthor, "imgAuthor", -1, M, {264, 0, 25, 17}, {});
    Init(m.imgHeaderX, "imgHeaderX", -1, M, QPoint(298, 0), {Strip::imgHeaderX, 0});
    Init(m.imgHeaderV, "imgHeaderV", -1, M, QPoint(326, 0), {Strip::imgHeaderV, 0});
    m.imgHeaderX.tag = QStringLiteral("0");
    m.imgHeaderV.tag = QStringLiteral("0");
    m.imgHeader.onClick = OnHeaderClick;
    m.imgHeaderX.onMove = OnHeaderXMove;
    m.imgHeaderV.onMove = OnHeaderVMove;
    m.imgHeaderX.onRelease = OnHeaderXRelease;
    m.imgHeaderV.onRelease = OnHeaderVRelease;

    for (int i = 1; i <= 12; ++i) {
        const int col = (i - 1) % 3;
        const int row = (i - 1) / 3;
        Init(m.imgPunchUp[i], "imgPunchUp", i, M, QPoint(8 + 32 * col, 33 + 29 * row),
             {Strip::imgPunchUp, std::int16_t(i)});
    }
    m.imgPunchUp[0].visible = false;
    for (int i = 0; i < 5; ++i) {
        const PicRef start{Strip::imgTime, i == 2 ? ColonOff : DigitBlank};
        Init(m.imgTime[i], "imgTime", i, M, QPoint(TimeX[i], 34), start);
        Init(m.imgAlarm[i], "imgAlarm", i, M, QPoint(TimeX[i], 96), start);
    }
    for (int i = 0; i < 4; ++i)
        Init(m.imgCorrect[i], "imgCorrect", i, M, QPoint(CorrectX[i], 84), {Strip::arrow, 0}, false);

    // Small digits: frames 9 wide at an 8-pixel pitch; the 8-pixel pictures fill them.
    Init(m.imgSet[0], "imgSet", 0, D, {114, 5, 9, 17}, {});
    Init(m.imgSet[1], "imgSet", 1, D, {122, 5, 9, 17}, {});
    Init(m.imgSet[2], "imgSet", 2, D, {-1, 5, 9, 17}, {});
    Init(m.imgSet[3], "imgSet", 3, D, {7, 5, 9, 17}, {});
    Init(m.imgSet[4], "imgSet", 4, D, {15, 5, 9, 17}, {});
    Init(m.imgSet[5], "imgSet", 5, M, {220, 25, 9, 17}, {});
    Init(m.imgSet[6], "imgSet", 6, M, {228, 25, 9, 17}, {});

    Init(m.picClock, "picClock", -1, M, QPoint(248, 20), {Strip::imgDial, 0});
    m.picClock.onMove = OnClockMove;

    Init(m.lblDescLeft, "lblDescLeft", -1, M, {8, 170, 4, 15}, {}, false);
    Init(m.lblDescription, "lblDescription", -1, M, {12, 170, 93, 15}, {}, false);
    Init(m.txtDescription, "txtDescription", -1, M, {12, 170, 76, 15}, {}, false);
    Init(m.imgDescription, "imgDescription", -1, M, QPoint(86, 170), {Strip::description, 0}, false);

    for (int i = 0; i < 10; ++i)
        Init(m.imgFixed[i], "imgFixed", i, M, QPoint(FixedLeft[i], 164), {Strip::imgFixed, std::int16_t(i)});

    // Only hot spot 0 exists at design time; PlaceHotSpot creates and places the others.
    for (int i = 0; i < 12; ++i)
        Init(m.imgHotSpot[i], "imgHotSpot", i, D, {60, 12, 17, 17}, {}, i == 0);
    Init(m.imgMark, "imgMark", -1, D, QPoint(64, 4), {Strip::mark, 0});
    Init(m.imgCenter, "imgCenter", -1, D, QPoint(60, 60), {Strip::imgCenter, 1});
    Init(m.imgPunch, "imgPunch", -1, D, QPoint(0, 107), {Strip::imgPunch, 0});
    Init(m.imgEach, "imgEach", -1, D, QPoint(107, 107), {Strip::imgEach, 2});

    m.mainOrder = {&m.imgHeader, &m.imgAuthor, &m.imgHeaderX, &m.imgHeaderV};
    for (int i = 1; i <= 12; ++i)
        m.mainOrder.push_back(&m.imgPunchUp[i]);
    for (auto& e : m.imgTime)
        m.mainOrder.push_back(&e);
    m.mainOrder.push_back(&m.imgSet[5]);
    m.mainOrder.push_back(&m.imgSet[6]);
    for (auto& e : m.imgCorrect)
        m.mainOrder.push_back(&e);
    for (auto& e : m.imgAlarm)
        m.mainOrder.push_back(&e);
    m.mainOrder.push_back(&m.picClock);
    // The text box lies above the label it edits, the confirm button above the label's right end.
    m.mainOrder.insert(m.mainOrder.end(), {&m.lblDescLeft, &m.lblDescription, &m.imgDescription, &m.txtDescription});
    for (auto& e : m.imgFixed)
        m.mainOrder.push_back(&e);

    // On the dial: the hot spots lowest, so that the mark, which sits over hot spot 0 at rest,
    // stays pressable; the mark topmost.
    for (auto& e : m.imgHotSpot)
        m.dialOrder.push_back(&e);
    for (int i = 0; i < 5; ++i)
        m.dialOrder.push_back(&m.imgSet[i]);
    m.dialOrder.insert(m.dialOrder.end(), {&m.imgCenter, &m.imgPunch, &m.imgEach, &m.imgMark});
}

void BuildDepotMenu(DepotModel& d) {
    auto item = [&d](MenuIndex i, const char* name, const char* caption) {
        d.mnuTray[i].name = name;
        d.mnuTray[i].caption = QString::fromUtf8(caption);
        d.mnuTray[i].separator = caption[0] == '-' && caption[1] == 0;
    };
    item(mnuOnOff, "mnuOnOff", "Alarm ON");
    item(mnuState0, "mnuState0", "Alarm &ON");
    item(mnuState1, "mnuState1", "Alarm O&FF");
    item(mnuTray1, "mnuTray1", "-");
    item(mnuShow, "mnuShow", "&Show Vakto");
    item(mnuAbout, "mnuAbout", "&About");
    item(mnuTray2, "mnuTray2", "-");
    item(mnuExit, "mnuExit", "E&xit");
    for (MenuIndex i : {mnuState0, mnuState1}) {
        d.mnuTray[i].visible = false;
        d.mnuTray[i].enabled = false;
    }
    d.mnuTray[mnuShow].isDefault = true;
    // The menu works while the window sleeps hidden: the tick due this second comes first.
    d.mnuTray[mnuOnOff].onClick = [](Vakto& v) {
        CatchUp(v);
        ToggleAlarm(v);
    };
    d.mnuTray[mnuShow].onClick = [](Vakto& v) {
        CatchUp(v);
        ShowMainWindow(v, true);
    };
    d.mnuTray[mnuAbout].onClick = [](Vakto& v) { v.ports.window.showAbout(); };
    d.mnuTray[mnuExit].onClick = [](Vakto& v) {
        CatchUp(v);
        QuitProgram(v);
    };
}

void HoverHeaderButtons(Vakto& v, std::int16_t xHover, std::int16_t vHover) {
    Element& x = v.main.imgHeaderX;
    Element& vv = v.main.imgHeaderV;
    // Pictures are copied only when a button's state changes, not on every move.
    if (x.tag.toInt() == 0 && xHover == 1) {
        x.tag = QStringLiteral("1");
        SetPic(x, Strip::imgHeaderX, 1);
    }
    if (x.tag.toInt() == 1 && xHover == 0) {
        x.tag = QStringLiteral("0");
        SetPic(x, Strip::imgHeaderX, 0);
    }
    if (vv.tag.toInt() == 0 && vHover == 1) {
        vv.tag = QStringLiteral("1");
        SetPic(vv, Strip::imgHeaderV, 1);
    }
    if (vv.tag.toInt() == 1 && vHover == 0) {
        vv.tag = QStringLiteral("0");
        SetPic(vv, Strip::imgHeaderV, 0);
    }
}

void OnMainMouseDown(Vakto& v, const MouseEv& e) {
    v.app.pressX = static_cast<std::int16_t>(e.x);
    v.app.pressY = static_cast<std::int16_t>(e.y);
}

void OnMainMouseMove(Vakto& v, const MouseEv& e) {
    if (v.app.ended) return;
    CatchUp(v); // the tray's messages come this way, also while the window sleeps hidden
    if (!v.ports.window.isMinimised()) DragAndSnap(v, e.button, 0, e.x, e.y);
    HoverHeaderButtons(v, 0, 0);
    for (int i = 0; i < 10; ++i)
        SetPic(v.main.imgFixed[i], Strip::imgFixed, i);
    TrayStep(v, e);
}

QPoint WindowOrigin(const Vakto& v, const Element& e) {
    if (e.parent == Container::Dial) return v.main.picClock.rect.topLeft() + e.rect.topLeft();
    return e.rect.topLeft();
}

Element* HitTest(Vakto& v, QPoint p, QPoint* local) {
    const auto& order = v.main.mainOrder;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        Element* e = *it;
        if (!e->visible || !e->rect.contains(p)) continue;
        if (e == &v.main.picClock) {
            const QPoint d = p - e->rect.topLeft();
            const auto& dial = v.main.dialOrder;
            for (auto jt = dial.rbegin(); jt != dial.rend(); ++jt) {
                Element* c = *jt;
                if (c->visible && c->rect.contains(d)) {
                    if (local) *local = d - c->rect.topLeft();
                    return c;
                }
            }
        }
        if (local) *local = p - e->rect.topLeft();
        return e;
    }
    if (local) *local = p;
    return nullptr;
}
