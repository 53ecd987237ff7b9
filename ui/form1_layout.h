#pragma once

#include <array>
#include <string_view>

#include "ui/twips.h"

namespace velkora {

// Child window identifiers. They stay clear of IDOK and IDCANCEL, which the dialog
// keyboard handling sends for Enter and Esc; the window has no default or cancel button.
enum ControlId : int {
  kLabel1 = 101,
  kCommand1,
  kText1,
  kDrive1,
  kLabel2,
  kDir1,
  kProgressBar1,
  kCommand3,
  kCommand2,
  kLabel3,
  kCombo1,
  kCheck1,
};

enum class ControlKind {
  kLabel,
  kCommandButton,
  kCheckBox,
  kTextBox,
  kDriveList,
  kProfileList,
  kDirectoryList,
  kProgressBar
};

// How a control follows the window when it is made larger than its smallest size: its
// right edge, or the whole control, moves with the window's right edge; its bottom edge,
// or the whole control, with the window's bottom edge.
enum Anchor : unsigned {
  kStayPut = 0,
  kGrowWide = 1,
  kFollowRight = 2,
  kGrowTall = 4,
  kFollowBottom = 8,
};

// One control of Form1 as it is laid out: place and size in twips from the client
// area's top left corner at the window's smallest size, and how it follows a larger one.
struct ControlLayout {
  ControlId id;
  ControlKind kind;
  std::wstring_view caption;
  TwipRect twips;
  unsigned anchor = kStayPut;
};

inline constexpr std::wstring_view kFormCaption = L"Velkora";
// Message boxes carry the application's title, not the window caption.
inline constexpr std::wstring_view kApplicationTitle = L"VELKORA";
// The client area the window opens with, which is also the smallest it can be made.
inline constexpr int kClientWidthTwips = 5430;
inline constexpr int kClientHeightTwips = 5190;

// Form1's controls in the order of their tab index; they are created in this order, which
// is also the order the Tab key follows. A label stands just before the control it names,
// so that its access key moves the focus there. No two places overlap, so no control
// covers another's border at any DPI: the edges are rounded alike.
inline constexpr std::array<ControlLayout, 12> kForm1Controls{{
    {kLabel3, ControlKind::kLabel, L"ブラウザー(&B)", {120, 120, 2880, 345}},
    {kCombo1, ControlKind::kProfileList, L"", {120, 525, 5190, 330}, kGrowWide},
    {kLabel1, ControlKind::kLabel, L"ブックマークファイルのパス(&P)", {120, 975, 2880, 345}},
    {kText1, ControlKind::kTextBox, L"", {120, 1380, 5190, 330}, kGrowWide},
    {kCommand1, ControlKind::kCommandButton, L"参照(&R)...", {4110, 975, 1200, 345}, kFollowRight},
    {kLabel2, ControlKind::kLabel, L"ショートカットの作成場所(&D)", {120, 1860, 2880, 330}},
    {kDrive1, ControlKind::kDriveList, L"", {3240, 1860, 2070, 330}, kFollowRight},
    {kDir1, ControlKind::kDirectoryList, L"", {120, 2250, 5190, 1530}, kGrowWide | kGrowTall},
    {kProgressBar1,
     ControlKind::kProgressBar,
     L"",
     {120, 3900, 5190, 255},
     kGrowWide | kFollowBottom},
    // The one choice a run takes beside its input and target, just above the button that
    // starts it.
    {kCheck1,
     ControlKind::kCheckBox,
     L"消えたブックマークのショートカットを削除する(&M)",
     {120, 4275, 5190, 330},
     kGrowWide | kFollowBottom},
    {kCommand3,
     ControlKind::kCommandButton,
     L"コンバート(&C)",
     {2550, 4725, 1440, 345},
     kFollowRight | kFollowBottom},
    {kCommand2,
     ControlKind::kCommandButton,
     L"終了(&X)",
     {4110, 4725, 1200, 345},
     kFollowRight | kFollowBottom},
}};

}  // namespace velkora
