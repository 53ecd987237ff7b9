// Form1 as it opens: caption, frame, controls, layout at two DPIs, focus and tab order.

// <commctrl.h> needs the types of <windows.h> before it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
// clang-format on
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "tests/form1_fixture.h"
#include "ui/known_folders.h"
#include "ui/path_text.h"

namespace velkora::testing {
namespace {

std::string Describe(const RECT& rect) {
  return "{" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ", " +
         std::to_string(rect.right) + ", " + std::to_string(rect.bottom) + "}";
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The message of a key pressed with Alt, as the focused control gets it.
MSG AltKey(wchar_t key) {
  MSG message{};
  message.hwnd = GetFocus();
  message.message = WM_SYSCHAR;
  message.wParam = key;
  message.lParam = 1 << 29;  // Alt is down
  return message;
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
  // Every control inside the client area, clear of its edges, and of every other control:
  // none covers another's border. Every control has the window's one font.
  void ExpectSoundLayout() const {
    RECT client{};
    GetClientRect(Window(), &client);
    const auto font = SendMessageW(Control(kText1), WM_GETFONT, 0, 0);
    for (std::size_t first = 0; first < kForm1Controls.size(); ++first) {
      const ControlId id = kForm1Controls[first].id;
      const RECT place = ControlRect(id);
      EXPECT_TRUE(place.left > 0 && place.top > 0 && place.right < client.right &&
                  place.bottom < client.bottom)
          << "control " << id << " at " << Describe(place);
      EXPECT_EQ(SendMessageW(Control(id), WM_GETFONT, 0, 0), font) << "control " << id;
      for (std::size_t second = first + 1; second < kForm1Controls.size(); ++second) {
        const RECT other = ControlRect(kForm1Controls[second].id);
        RECT overlap{};
        EXPECT_FALSE(IntersectRect(&overlap, &place, &other))
            << "control " << id << " at " << Describe(place) << " meets control "
            << kForm1Controls[second].id << " at " << Describe(other);
      }
    }
  }

  // Moves the window to another DPI, as Windows does, to a size Windows suggests.
  void ChangeDpi(UINT dpi) {
    RECT frame{};
    GetWindowRect(Window(), &frame);
    const UINT now = GetDpiForWindow(Window());
    RECT suggested{frame.left, frame.top, frame.left + MulDiv(frame.right - frame.left, dpi, now),
                   frame.top + MulDiv(frame.bottom - frame.top, dpi, now)};
    SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
  }
};

TEST_F(Form1WindowTest, OpensWithItsCaptionFrameAndControls) {
  wchar_t caption[64] = {};
  GetWindowTextW(Window(), caption, 64);
  EXPECT_EQ(std::wstring(caption), L"Velkora");
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(Window(), GWL_STYLE));
  EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
  EXPECT_TRUE(IsWindowVisible(Window()));

  EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << "takes drops";

  EXPECT_EQ(Text(kLabel3), L"ブラウザー(&B)");
  EXPECT_EQ(Text(kLabel1), L"ブックマークファイルのパス(&P)");
  EXPECT_EQ(Text(kLabel2), L"ショートカットの作成場所(&D)");
  EXPECT_EQ(Text(kCommand1), L"参照(&R)...");
  EXPECT_EQ(Text(kCommand3), L"コンバート(&C)");
  EXPECT_EQ(Text(kCommand2), L"終了(&X)");
  EXPECT_EQ(Text(kCheck1), L"消えたブックマークのショートカットを削除する(&M)");
  EXPECT_EQ(Text(kText1), L"");
  EXPECT_EQ(ClassOf(Control(kText1)), L"Edit");
  EXPECT_EQ(ClassOf(Control(kDrive1)), L"ComboBox");
  EXPECT_EQ(ClassOf(Control(kCombo1)), L"ComboBox");
  EXPECT_EQ(ClassOf(Control(kDir1)), L"ListBox");
  EXPECT_EQ(ClassOf(Control(kProgressBar1)), PROGRESS_CLASSW);
  for (ControlId button : {kCommand1, kCommand2, kCommand3}) {
    const auto buttonStyle = GetWindowLongPtrW(Control(button), GWL_STYLE) & BS_TYPEMASK;
    EXPECT_EQ(buttonStyle, BS_PUSHBUTTON) << "no button is the default one";
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(Form1WindowTest, StartsAtTheFavoritesFolder) {
  const std::wstring favorites = FavoritesFolder();
  ASSERT_FALSE(favorites.empty());
  ASSERT_TRUE(std::filesystem::is_directory(favorites)) << "Wine makes the folder";
  EXPECT_EQ(form->TargetDirectory(), std::u16string(favorites.begin(), favorites.end()));
  const std::wstring lower{static_cast<wchar_t>(towlower(favorites[0])), L':'};
  EXPECT_EQ(Text(kDrive1).substr(0, 2), lower);
  const std::vector<std::wstring> entries = Dir1Entries();
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries[0], lower + L"\\");
  EXPECT_EQ(entries[static_cast<std::size_t>(Dir1Highlighted())],
            std::filesystem::path(favorites).filename().wstring());
  EXPECT_NE(form->State().fileSystem, nullptr);

  HWND bar = Control(kProgressBar1);
  EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(form->ProgressValue(), 0.0f);
}

TEST_F(Form1WindowTest, FocusStartsInText1AndTabFollowsTheTabIndex) {
  EXPECT_EQ(GetFocus(), Control(kText1));
  const std::vector<ControlId> order{kCommand1, kDrive1,   kDir1,   kCheck1,
                                     kCommand3, kCommand2, kCombo1, kText1};
  HWND current = Control(kText1);
  for (ControlId expected : order) {
    current = GetNextDlgTabItem(Window(), current, FALSE);
    EXPECT_EQ(GetDlgCtrlID(current), expected);
  }
  EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(Window(), Control(kText1), TRUE)), kCombo1);
}

TEST_F(Form1WindowTest, FocusComesBackWhereItWasAfterDeactivation) {
  SetFocus(Control(kCommand3));
  SendMessageW(Window(), WM_ACTIVATE, WA_INACTIVE, 0);
  SetFocus(nullptr);
  SendMessageW(Window(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(GetFocus(), Control(kCommand3));
}

// An access key moves the focus to the control a label names, or presses a button.
TEST_F(Form1WindowTest, AccessKeysReachTheirControls) {
  struct Case {
    wchar_t key;
    ControlId focused;
  };
  for (const Case& key :
       {Case{L'm', kCheck1}, Case{L'd', kDrive1}, Case{L'b', kCombo1}, Case{L'p', kText1}}) {
    MSG message = AltKey(key.key);
    EXPECT_TRUE(IsDialogMessageW(Window(), &message));
    EXPECT_EQ(GetFocus(), Control(key.focused)) << static_cast<char>(key.key);
  }
  const RunOptions options = form->Options();
  EXPECT_TRUE(options.removeGone && options.preview && !options.dryRun && !options.replaceSource);
  for (const wchar_t key : {L'r', L'c', L'x'}) {
    MSG message = AltKey(key);
    IsDialogMessageW(Window(), &message);
  }
  EXPECT_EQ(dialogsShown.size(), 1u) << "Alt+R browses";
  ASSERT_EQ(messages.size(), 1u) << "Alt+C converts";
  EXPECT_EQ(messages[0].text, L"ブックマークファイルのパスが設定されていません");
  EXPECT_EQ(form->Handle(), nullptr) << "Alt+X exits";
}

// At 96, 120 and 144 DPI no control covers another, and all share the window's font,
// which grows with the DPI; the old font lives until no control holds it.
TEST_F(Form1WindowTest, ControlsKeepClearOfEachOtherAtEveryDpi) {
  const auto fontHeight = [this] {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control(kText1), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    return std::abs(font.lfHeight);
  };
  ASSERT_EQ(GetDpiForWindow(Window()), 96u);
  RECT client{};
  GetClientRect(Window(), &client);
  EXPECT_EQ(client.right, 362);
  EXPECT_EQ(client.bottom, 346);
  ExpectSoundLayout();
  const long heightAt96 = fontHeight();

  ChangeDpi(120);
  ExpectSoundLayout();
  EXPECT_NEAR(fontHeight(), heightAt96 * 5 / 4, 1);

  HWND text1 = Control(kText1);
  handover = {reinterpret_cast<HFONT>(SendMessageW(text1, WM_GETFONT, 0, 0)),
              reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                  text1, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchSetFont)))};
  ChangeDpi(144);
  SetWindowLongPtrW(text1, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(handover.original));
  EXPECT_TRUE(handover.heldWasAlive) << "a control held a deleted font";
  EXPECT_EQ(GetObjectType(handover.held), 0u) << "the old font is deleted afterwards";
  ExpectSoundLayout();
  EXPECT_NEAR(fontHeight(), heightAt96 * 3 / 2, 1);
  GetClientRect(Window(), &client);
  EXPECT_GE(client.right, 543);
  EXPECT_GE(client.bottom, 519);
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
  // Disabled during a run: greyed, and nothing highlighted.
  EXPECT_EQ(draw(ODS_SELECTED | ODS_DISABLED), draw(ODS_DISABLED));
  EXPECT_NE(draw(ODS_DISABLED), draw(0));
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

// A larger window widens the path box, the folder list and the progress bar, makes the
// folder list taller, and keeps the buttons at its right and bottom; it cannot be made
// smaller than it opens.
TEST_F(Form1WindowTest, ControlsFollowTheWindowAndItOpensAtItsSmallestSize) {
  RECT frame{};
  GetWindowRect(Window(), &frame);
  MINMAXINFO limits{};
  SendMessageW(Window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, frame.right - frame.left);
  EXPECT_EQ(limits.ptMinTrackSize.y, frame.bottom - frame.top);

  std::vector<RECT> before;
  for (const ControlLayout& control : kForm1Controls) before.push_back(ControlRect(control.id));
  SetWindowPos(Window(), nullptr, 0, 0, frame.right - frame.left + 100,
               frame.bottom - frame.top + 60, SWP_NOMOVE | SWP_NOZORDER);
  struct Moved {
    LONG left, top, right, bottom;
  };
  const std::array<Moved, 12> expected{{
      {0, 0, 0, 0},        // Label3
      {0, 0, 100, 0},      // Combo1
      {0, 0, 0, 0},        // Label1
      {0, 0, 100, 0},      // Text1
      {100, 0, 100, 0},    // Command1
      {0, 0, 0, 0},        // Label2
      {100, 0, 100, 0},    // Drive1
      {0, 0, 100, 60},     // Dir1
      {0, 60, 100, 60},    // ProgressBar1
      {0, 60, 100, 60},    // Check1
      {100, 60, 100, 60},  // Command3
      {100, 60, 100, 60},  // Command2
  }};
  for (std::size_t index = 0; index < kForm1Controls.size(); ++index) {
    const RECT now = ControlRect(kForm1Controls[index].id);
    const Moved moved{now.left - before[index].left, now.top - before[index].top,
                      now.right - before[index].right, now.bottom - before[index].bottom};
    EXPECT_TRUE(moved.left == expected[index].left && moved.top == expected[index].top &&
                moved.right == expected[index].right && moved.bottom == expected[index].bottom)
        << "control " << kForm1Controls[index].id << " is at " << Describe(now);
  }
  ExpectSoundLayout();

  SetWindowPos(Window(), nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
  RECT smallest{};
  GetWindowRect(Window(), &smallest);
  EXPECT_EQ(smallest.right - smallest.left, frame.right - frame.left);
  EXPECT_EQ(smallest.bottom - smallest.top, frame.bottom - frame.top);
}

// A file dropped onto the window, from Explorer or from one running as administrator,
// goes into the path box.
TEST_F(Form1WindowTest, ADroppedFileFillsThePathBox) {
  const std::wstring files =
      std::wstring(L"C:\\ダウンロード\\bookmarks.html") + L'\0' + L"C:\\other.html" + L'\0' + L'\0';
  HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + files.size() * sizeof(wchar_t));
  ASSERT_NE(drop, nullptr);
  auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(header + 1, files.data(), files.size() * sizeof(wchar_t));
  GlobalUnlock(drop);
  // The window frees the drop, as DragFinish does for every receiver.
  SendMessageW(Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  EXPECT_EQ(Text(kText1), L"C:\\ダウンロード\\bookmarks.html");
  EXPECT_TRUE(messages.empty());
}

// Paths typed or pasted with spaces and quotes around them, and the file named on
// velkora.exe's command line.
TEST(PathText, TypedPathsAndCommandLines) {
  using Pair = std::pair<const wchar_t*, const wchar_t*>;
  for (const auto& [typed, path] : {
           Pair{L"  C:\\a b\\x.html ", L"C:\\a b\\x.html"},
           Pair{L" \"C:\\a b\\x.html\"\u3000", L"C:\\a b\\x.html"},
           Pair{L"\t\" C:\\x.htm \"\r\n", L"C:\\x.htm"},
           Pair{L" \"\" ", L""},
       }) {
    EXPECT_EQ(TrimmedPath(typed), path);
  }
  for (const auto& [commandLine, path] : {
           Pair{L"velkora.exe", L""},
           Pair{L"\"C:\\Program Files\\velkora.exe\" \"C:\\a b\\x.html\"", L"C:\\a b\\x.html"},
           Pair{L"velkora.exe C:\\x.htm D:\\y.htm", L"C:\\x.htm"},
       }) {
    EXPECT_EQ(PathFromCommandLine(commandLine), path);
  }
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

TEST_F(Form1WindowTest, Command2AndTheCloseBoxCloseTheWindow) {
  for (const bool closeBox : {false, true}) {
    if (closeBox) CreateForm();
    HWND window = Window();
    if (closeBox) {
      SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
      Click(kCommand2);
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(form->Handle(), nullptr);
  }
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace velkora::testing
