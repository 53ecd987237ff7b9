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
};

enum class ControlKind {
  kLabel,
  kCommandButton,
  kTextBox,
  kDriveList,
  kDirectoryList,
  kProgressBar
};

// One control of Form1 as it is laid out: place and size in twips from the client
// area's top left corner.
struct ControlLayout {
  ControlId id;
  ControlKind kind;
  std::wstring_view caption;
  TwipRect twips;
};

inline constexpr std::wstring_view kFormCaption = L"Velkora";
// Message boxes carry the application's title, not the window caption.
inline constexpr std::wstring_view kApplicationTitle = L"VELKORA";
inline constexpr int kClientWidthTwips = 5430;
inline constexpr int kClientHeightTwips = 3195;

// Form1's controls in the order of their tab index; they are created in this order, which
// is also the order the Tab key follows. The labels, which take no focus, then go under
// the other controls in the drawing order.
inline constexpr std::array<ControlLayout, 9> kForm1Controls{{
    {kText1, ControlKind::kTextBox, L"", {120, 360, 5175, 270}},
    {kCommand1, ControlKind::kCommandButton, L"参照", {4320, 120, 975, 255}},
    {kCommand3, ControlKind::kCommandButton, L"コンバート", {2880, 2880, 1215, 255}},
    {kLabel1, ControlKind::kLabel, L"Pomerekのブックマークへのパス", {120, 120, 2895, 255}},
    {kLabel2, ControlKind::kLabel, L"ＩＥのショートカット作成場所", {120, 840, 2175, 255}},
    {kDir1, ControlKind::kDirectoryList, L"", {120, 1080, 5175, 1350}},
    {kDrive1, ControlKind::kDriveList, L"", {3240, 720, 2055, 300}},
    {kCommand2, ControlKind::kCommandButton, L"終了", {4200, 2880, 1095, 255}},
    {kProgressBar1, ControlKind::kProgressBar, L"", {120, 2520, 5175, 255}},
}};

}  // namespace velkora
