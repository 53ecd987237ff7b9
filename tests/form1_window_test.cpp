// Form1 as it opens: caption, frame, controls, layout at two DPIs, focus and tab order.

// <commctrl.h> needs the types of <windows.h> before it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "tests/form1_fixture.h"

namespace velkora::testing {
namespace {

struct ExpectedPlace {
  ControlId id;
  RECT pixels;
};

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& rect) {
  return "{" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ", " +
         std::to_string(rect.right) + ", " + std::to_string(rect.bottom) + "}";
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// 15 twips to the pixel at 96 DPI.
constexpr std::array<ExpectedPlace, 9> kPlacesAt96{{
    {kText1, {8, 24, 353, 42}},
    {kCommand1, {288, 8, 353, 25}},
    {kCommand3, {192, 192, 273, 209}},
    {kLabel1, {8, 8, 201, 25}},
    {kLabel2, {8, 56, 153, 73}},
    {kDir1, {8, 72, 353, 162}},
    {kDrive1, {216, 48, 353, 68}},
    {kCommand2, {280, 192, 353, 209}},
    {kProgressBar1, {8, 168, 353, 185}},
}};

// 10 twips to the pixel at 144 DPI; half pixels round away from the origin.
constexpr std::array<ExpectedPlace, 9> kPlacesAt144{{
    {kText1, {12, 36, 530, 63}},
    {kCommand1, {432, 12, 530, 38}},
    {kCommand3, {288, 288, 410, 314}},
    {kLabel1, {12, 12, 302, 38}},
    {kLabel2, {12, 84, 230, 110}},
    {kDir1, {12, 108, 530, 243}},
    {kDrive1, {324, 72, 530, 102}},
    {kCommand2, {420, 288, 530, 314}},
    {kProgressBar1, {12, 252, 530, 278}},
}};

// True when above lies above below in their parent's drawing order.
bool IsAbove(HWND above, HWND below) {
  for (HWND next = GetWindow(above, GW_HWNDNEXT); next != nullptr;
       next = GetWindow(next, GW_HWNDNEXT)) {
    if (next == below) return true;
  }
  return false;
}

// Watches the WM_SETFONT messages of one control: was the font it held still alive when
// it was handed the next one?
struct FontHandover {
  HFONT held = nullptr;
  WNDPROC original = nullptr;
  bool heldWasAlive = true;
};
FontHandover handover;

LRESULT CALLBACK WatchSetFont(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFONT && GetObjectType(handover.held) != OBJ_FONT) {
    handover.heldWasAlive = false;
  }
  return CallWindowProcW(handover.original, window, message, wParam, lParam);
}

class Form1WindowTest : public Form1Test {
 protected:
  void ExpectPlaces(const std::array<ExpectedPlace, 9>& places) const {
    for (const ExpectedPlace& place : places) {
      RECT actual = ControlRect(place.id);
      if (place.id == kLabel1 || place.id == kLabel2) {
        // A label may grow to the right to show all its text, never into another control.
        EXPECT_GE(actual.right, place.pixels.right);
        EXPECT_LT(actual.right, ControlRect(place.id == kLabel1 ? kCommand1 : kDrive1).left);
        actual.right = place.pixels.right;
      }
      EXPECT_TRUE(actual == place.pixels) << "control " << place.id << " is at " << Describe(actual)
                                          << ", expected " << Describe(place.pixels);
      // Whatever overlaps the path box or the directory list lies under it and does not
      // paint over its border.
      for (ControlId framed : {kText1, kDir1}) {
        RECT frame = ControlRect(framed), overlap{};
        if (place.id == framed || !IntersectRect(&overlap, &frame, &actual)) continue;
        EXPECT_TRUE(IsAbove(Control(framed), Control(place.id))) << place.id;
        EXPECT_TRUE(GetWindowLongPtrW(Control(place.id), GWL_STYLE) & WS_CLIPSIBLINGS) << place.id;
      }
    }
  }
};

TEST_F(Form1WindowTest, OpensWithItsCaptionFrameAndControls) {
  wchar_t caption[64] = {};
  GetWindowTextW(Window(), caption, 64);
  EXPECT_EQ(std::wstring(caption), L"Velkora");
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(Window(), GWL_STYLE));
  EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
  EXPECT_TRUE(IsWindowVisible(Window()));

  EXPECT_EQ(Text(kLabel1), L"Pomerekのブックマークへのパス");
  EXPECT_EQ(Text(kLabel2), L"ＩＥのショートカット作成場所");
  EXPECT_EQ(Text(kCommand1), L"参照");
  EXPECT_EQ(Text(kCommand3), L"コンバート");
  EXPECT_EQ(Text(kCommand2), L"終了");
  EXPECT_EQ(Text(kText1), L"");
  EXPECT_EQ(ClassOf(Control(kText1)), L"Edit");
  EXPECT_EQ(ClassOf(Control(kDrive1)), L"ComboBox");
  EXPECT_EQ(ClassOf(Control(kDir1)), L"ListBox");
  EXPECT_EQ(ClassOf(Control(kProgressBar1)), PROGRESS_CLASSW);
  for (ControlId button : {kCommand1, kCommand2, kCommand3}) {
    const auto buttonStyle = GetWindowLongPtrW(Control(button), GWL_STYLE) & BS_TYPEMASK;
    EXPECT_EQ(buttonStyle, BS_PUSHBUTTON) << "no button is the default one";
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(Form1WindowTest, StartsAtTheRootOfTheWindowsDrive) {
  const wchar_t drive = WindowsDrive();
  const std::wstring lower{static_cast<wchar_t>(towlower(drive)), L':'};
  EXPECT_EQ(Text(kDrive1).substr(0, 2), lower);
  EXPECT_EQ(form->TargetDirectory(), (std::u16string{static_cast<char16_t>(drive), u':', u'\\'}));
  const std::vector<std::wstring> entries = Dir1Entries();
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries[0], lower + L"\\");
  EXPECT_EQ(Dir1Highlighted(), 0);
  EXPECT_EQ(form->State().depth, 0);
  EXPECT_NE(form->State().fileSystem, nullptr);

  HWND bar = Control(kProgressBar1);
  EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(form->ProgressValue(), 0.0f);
}

TEST_F(Form1WindowTest, FocusStartsInText1AndTabFollowsTheTabIndex) {
  EXPECT_EQ(GetFocus(), Control(kText1));
  const std::vector<ControlId> order{kCommand1, kCommand3, kDir1, kDrive1, kCommand2, kText1};
  HWND current = Control(kText1);
  for (ControlId expected : order) {
    current = GetNextDlgTabItem(Window(), current, FALSE);
    EXPECT_EQ(GetDlgCtrlID(current), expected);
  }
  EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(Window(), Control(kText1), TRUE)), kCommand2);
}

TEST_F(Form1WindowTest, FocusComesBackWhereItWasAfterDeactivation) {
  SetFocus(Control(kCommand3));
  SendMessageW(Window(), WM_ACTIVATE, WA_INACTIVE, 0);
  SetFocus(nullptr);
  SendMessageW(Window(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(GetFocus(), Control(kCommand3));
}

TEST_F(Form1WindowTest, ControlsSitAtTheirPlacesAt96Dpi) {
  ASSERT_EQ(GetDpiForWindow(Window()), 96u);
  RECT client{};
  GetClientRect(Window(), &client);
  EXPECT_EQ(client.right, 362);
  EXPECT_EQ(client.bottom, 213);
  ExpectPlaces(kPlacesAt96);
}

TEST_F(Form1WindowTest, ControlsSitAtTheirPlacesAt144DpiWithALargerFont) {
  const auto fontHeight = [this] {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control(kText1), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    return std::abs(font.lfHeight);
  };
  const long heightAt96 = fontHeight();
  HWND text1 = Control(kText1);
  handover = {reinterpret_cast<HFONT>(SendMessageW(text1, WM_GETFONT, 0, 0)),
              reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                  text1, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchSetFont)))};
  RECT suggested{100, 100, 100 + 560, 100 + 370};
  SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  SetWindowLongPtrW(text1, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(handover.original));
  EXPECT_TRUE(handover.heldWasAlive) << "a control held a deleted font";
  EXPECT_EQ(GetObjectType(handover.held), 0u) << "the old font is deleted afterwards";

  ExpectPlaces(kPlacesAt144);
  EXPECT_NEAR(fontHeight(), heightAt96 * 3 / 2, 1);
  for (const ControlLayout& control : kForm1Controls) {
    EXPECT_EQ(SendMessageW(Control(control.id), WM_GETFONT, 0, 0),
              SendMessageW(Control(kText1), WM_GETFONT, 0, 0))
        << "every control shares the window's one font";
  }
}

TEST_F(Form1WindowTest, Dir1DrawsAFocusRectangleOnTheEntryThatHasTheFocus) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 200;
  info.bmiHeader.biHeight = -20;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  const auto draw = [&](UINT state) {
    DRAWITEMSTRUCT item{ODT_LISTBOX,         kDir1, 0, ODA_DRAWENTIRE, state, Control(kDir1), dc,
                        RECT{0, 0, 200, 20}, 0};
    SendMessageW(Window(), WM_DRAWITEM, kDir1, reinterpret_cast<LPARAM>(&item));
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    return std::vector<std::uint32_t>(pixels, pixels + 200 * 20);
  };
  EXPECT_NE(draw(ODS_SELECTED | ODS_FOCUS), draw(ODS_SELECTED));
  EXPECT_EQ(draw(ODS_SELECTED | ODS_FOCUS | ODS_NOFOCUSRECT), draw(ODS_SELECTED))
      << "hidden, as a list box hides it, until the keyboard is used";
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST_F(Form1WindowTest, AFailureDuringStartUpLeavesNoWindowAndSaysSo) {
  PlatformServices failing = platform.Services();
  failing.createFileSystem = []() -> std::unique_ptr<FileSystemObject> { throw std::bad_alloc(); };
  std::vector<std::wstring> shown;
  Dialogs dialogs;
  dialogs.messageBox = [&shown](HWND, const wchar_t* text, const wchar_t*, UINT) {
    shown.push_back(text);
    return IDOK;
  };
  Form1 broken(failing, dialogs);
  EXPECT_FALSE(broken.Create(SW_SHOWNORMAL));
  EXPECT_EQ(broken.Handle(), nullptr);
  EXPECT_EQ(shown, std::vector<std::wstring>{L"ウィンドウを作成できませんでした。"});
}

TEST_F(Form1WindowTest, ControlsStayPutWhenTheWindowIsResized) {
  SetWindowPos(Window(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
  ExpectPlaces(kPlacesAt96);
}

TEST_F(Form1WindowTest, RunsWithCommonControls6AndPerMonitorDpiAwareness) {
  EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
            DPI_AWARENESS_PER_MONITOR_AWARE);
  // The manifest sends every use of comctl32.dll to version 6 of the common controls.
  ACTCTX_SECTION_KEYED_DATA redirection{};
  redirection.cbSize = sizeof(redirection);
  ASSERT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                       L"comctl32.dll", &redirection));
}

TEST_F(Form1WindowTest, Command2ClosesTheWindow) {
  HWND window = Window();
  Click(kCommand2);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(form->Handle(), nullptr);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace velkora::testing
