#include "clockface/pixlib.h"

#include <QGuiApplication>
#include <QPalette>

namespace {
struct SysRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// System colour index -> desktop palette role. Indexes with no counterpart (25, 31 and up) are
// black, as an unknown index is on the platforms that define these numbers.
//   0 scroll bar            Button           16 button shadow        Dark
//   1 desktop               Window           17 grey (disabled) text Disabled Text
//   2 active caption        Highlight        18 button text          ButtonText
//   3 inactive caption      Inactive Highl.  19 inactive capt. text  Inactive HighlightedText
//   4 menu                  Window           20 button highlight     Light
//   5 window                Base             21 3-D dark shadow      Shadow
//   6 window frame          Shadow           22 3-D light            Midlight
//   7 menu text             WindowText       23 tooltip text         ToolTipText
//   8 window text           Text             24 tooltip background   ToolTipBase
//   9 caption text          HighlightedText  26 hot-tracked item     Link
//  10 active border         Button           27 caption gradient     Highlight
//  11 inactive border       Inactive Button  28 inact. capt. grad.   Inactive Highlight
//  12 application workspace Dark             29 menu highlight       Highlight
//  13 highlight             Highlight        30 menu bar             Window
//  14 highlighted text      HighlightedText
//  15 button face           Button
constexpr int SysRoleCount = 31;
constexpr QPalette::ColorGroup A = QPalette::Active;
constexpr QPalette::ColorGroup I = QPalette::Inactive;
constexpr SysRole SysRoles[SysRoleCount] = {
    {A, QPalette::Button},
    {A, QPalette::Window},
    {A, QPalette::Highlight},
    {I, QPalette::Highlight},
    {A, QPalette::Window},
    {A, QPalette::Base},
    {A, QPalette::Shadow},
    {A, QPalette::WindowText},
    {A, QPalette::Text},
    {A, QPalette::HighlightedText},
    {A, QPalette::Button},
    {I, QPalette::Button},
    {A, QPalette::Dark},
    {A, QPalette::Highlight},
    {A, QPalette::HighlightedText},
    {A, QPalette::Button},
    {A, QPalette::Dark},
    {QPalette::Disabled, QPalette::Text},
    {A, QPalette::ButtonText},
    {I, QPalette::HighlightedText},
    {A, QPalette::Light},
    {A, QPalette::Shadow},
    {A, QPalette::Midlight},
    {A, QPalette::ToolTipText},
    {A, QPalette::ToolTipBase},
    {A, QPalette::NoRole},
    {A, QPalette::Link},
    {A, QPalette::Highlight},
    {I, QPalette::Highlight},
    {A, QPalette::Highlight},
    {A, QPalette::Window},
};
} // namespace

std::uint32_t GetSysColor(int index) {
    if (index < 0 || index >= SysRoleCount || SysRoles[index].role == QPalette::NoRole) return 0;
    const QColor c = QGuiApplication::palette().color(SysRoles[index].group, SysRoles[index].role);
    return std::uint32_t(c.red()) | std::uint32_t(c.green()) << 8 | std::uint32_t(c.blue()) << 16;
}
