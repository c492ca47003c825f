#include "punch/punch.h"

#include "punch/ledger.h"

#include <algorithm>

namespace {

void OnPunchClick(Vakto& v, int, const MouseEv&) {
    PunchButtonClick(v);
}
void OnProjectPress(Vakto& v, int index, const MouseEv&) {
    ProjectButtonPress(v, index);
}

} // namespace

void AdjustPunch(Vakto& v, std::int16_t n) {
    std::int16_t& m = v.punch.punchMinutes;
    if (m == PunchOff) {
        if (n == 0) {
            m = 0;
            SetPic(v.main.imgPunch, Strip::imgPunch, 1);
            ShowPunchMinutes(v);
        } else if (n == 1) {
            v.ports.dialogs.message(QStringLiteral("Punchin is off, so why increase?"));
        } else if (n == PunchOff) {
            v.ports.dialogs.message(QStringLiteral("Punchin is already off, so why off?"));
        }
        return;
    }
    if (n == PunchOff) {
        m = PunchOff;
        SetPic(v.main.imgPunch, Strip::imgPunch, 0);
        for (int i = 2; i <= 4; ++i)
            SetPic(v.main.imgSet[static_cast<std::size_t>(i)], Strip::imgSet, DigitBlank);
    } else if (n == 1) {
        if (m < PunchMax) ++m;
        ShowPunchMinutes(v);
    }
}

void ShowPunchMinutes(Vakto& v) {
    // Three digits reach 999; a longer session keeps counting but shows 999 until it ends.
    const int m = std::min<int>(v.punch.punchMinutes, PunchShownMax);
    const int h = m / 100;
    const int r = m - 100 * h;
    const int t = r / 10;
    const int u = r - 10 * t;
    SetPic(v.main.imgSet[2], Strip::imgSet, h == 0 ? DigitBlank : h);
    SetPic(v.main.imgSet[3], Strip::imgSet, h != 0 || t != 0 ? t : DigitBlank);
    SetPic(v.main.imgSet[4], Strip::imgSet, u);
}

void PunchButtonClick(Vakto& v) {
    if (v.punch.punchMinutes == PunchOff) {
        AdjustPunch(v, 0);
        return;
    }
    // The minutes go to the project before the counter is reset; with no project they are dropped.
    if (v.punch.currentProject > 0) {
        AddToProject(v);
        if (v.app.ended) return;
    }
    AdjustPunch(v, PunchOff);
}

void ProjectButtonPress(Vakto& v, int k) {
    if (v.punch.punchMinutes != PunchOff || k < 1 || k > 12) return;
    if (k > static_cast<int>(v.punch.projects.size())) {
        // A short ledger: the button has no project behind it, so it neither selects nor clears.
        v.ports.dialogs.message(QStringLiteral("Project button %1 has no project: vakto.dat holds only %2.")
                                    .arg(k)
                                    .arg(v.punch.projects.size()));
        return;
    }
    MainModel& w = v.main;
    std::int16_t& cur = v.punch.currentProject;
    SetPic(w.imgPunchUp[static_cast<std::size_t>(k)], Strip::imgPunchDn, k);
    if (cur > 0) SetPic(w.imgPunchUp[static_cast<std::size_t>(cur)], Strip::imgPunchUp, cur);
    if (k != cur) {
        cur = static_cast<std::int16_t>(k);
        SetVisible(w.lblDescription, true);
        const auto idx = static_cast<std::int16_t>(k - 1);
        SetText(w.lblDescription, v.punch.projects[static_cast<std::size_t>(idx)].name + SayProjectTime(v, idx));
        SetVisible(w.lblDescLeft, true);
    } else {
        cur = 0;
        SetVisible(w.lblDescription, false);
        SetVisible(w.lblDescLeft, false);
    }
}

void InstallPunchHandlers(Vakto& v) {
    v.main.imgPunch.onClick = OnPunchClick;
    for (int k = 1; k <= 12; ++k)
        v.main.imgPunchUp[static_cast<std::size_t>(k)].onPress = OnProjectPress;
}
