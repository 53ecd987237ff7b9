#include "ui/form1.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "engine/text/text.h"
#include "platform/browser_stores.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_errors.h"
#include "ui/controls.h"
#include "ui/drives.h"
#include "ui/known_folders.h"
#include "ui/path_text.h"
#include "ui/resources/resource_ids.h"
#include "ui/twips.h"

namespace velkora {
namespace {

constexpr wchar_t kWindowClass[] = L"VelkoraForm1";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kWindowExtendedStyle = WS_EX_CONTROLPARENT;

std::wstring UnreadableDriveMessage(wchar_t letter, DWORD error) {
  return L"ドライブ " + std::wstring{letter, L':'} + L" を読み込めませんでした。\n理由: " +
         Wide(SystemErrorText(error));
}

std::wstring UnreadableFolderMessage(const std::wstring& path, DWORD error) {
  return L"フォルダーを開けませんでした。\n" + path + L"\n理由: " + Wide(SystemErrorText(error));
}

constexpr wchar_t kUnexpectedErrorMessage[] =
    L"予期しないエラーが発生したため、処理を中止しました。";
constexpr wchar_t kCannotCreateMessage[] = L"ウィンドウを作成できませんでした。";

// What the shell sends for a file dropped from Explorer, which an Explorer running as
// administrator may send to this window too. 0x0049 is WM_COPYGLOBALDATA, which carries a
// drop's file names across that line and has no name in the headers.
constexpr UINT kDropMessages[] = {WM_DROPFILES, WM_COPYDATA, 0x0049};

// The system's message font at dpi: the font people see in message boxes and dialogs.
UniqueFont MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
    if (UniqueFont font(CreateFontIndirectW(&metrics.lfMessageFont)); font) return font;
  }
  LOGFONTW fallback{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(fallback), &fallback);
  return UniqueFont(CreateFontIndirectW(&fallback));
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, kWindowClass, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  windowClass.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELKORA), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELKORA),
                                                      IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), 0));
  return RegisterClassExW(&windowClass) != 0;
}

// Window class, text, styles of a simple control of the given kind.
ControlArgs SimpleControl(const ControlLayout& control) {
  ControlArgs args;
  args.text = control.caption;
  args.id = control.id;
  switch (control.kind) {
    case ControlKind::kLabel:
      // The "&" of the caption underlines the access key; the text stands in the middle
      // of its height, level with the control beside it.
      args.className = WC_STATICW;
      args.style = SS_LEFTNOWORDWRAP | SS_CENTERIMAGE;
      break;
    case ControlKind::kCommandButton:
      args.className = WC_BUTTONW;
      args.style = WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case ControlKind::kCheckBox:
      args.className = WC_BUTTONW;
      args.style = WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
    case ControlKind::kTextBox:
      args.className = WC_EDITW;
      args.style = WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
      args.extendedStyle = WS_EX_CLIENTEDGE;
      break;
    default:
      break;
  }
  return args;
}

}  // namespace

Form1::Form1(const PlatformServices& platform, Dialogs dialogs, ProfileFinder findProfiles)
    : platform_(platform), dialogs_(std::move(dialogs)), findProfiles_(std::move(findProfiles)) {}

Form1::~Form1() {
  // The window goes first, while everything its messages may touch is still here.
  window_.Reset();
}

bool Form1::Create(int showCommand) {
  if (!CreateAndLoad()) {
    // Start-up ends here: no half-built window stays.
    window_.Reset();
    dialogs_.messageBox(nullptr, kCannotCreateMessage, std::wstring(kApplicationTitle).c_str(),
                        MB_OK);
    return false;
  }
  ShowWindow(window_.get(), showCommand);
  SetFocus(Control(kText1));
  DragAcceptFiles(window_.get(), TRUE);
  for (const UINT message : kDropMessages) {
    ChangeWindowMessageFilterEx(window_.get(), message, MSGFLT_ALLOW, nullptr);
  }
  UpdateWindow(window_.get());
  return true;
}

bool Form1::CreateAndLoad() {
  try {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(instance, WindowProcedure)) return false;
    if (CreateWindowExW(kWindowExtendedStyle, kWindowClass, std::wstring(kFormCaption).c_str(),
                        kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        nullptr, nullptr, instance, this) == nullptr) {
      return false;
    }
    OnLoad();
    return true;
  } catch (...) {
    return false;
  }
}

LRESULT CALLBACK Form1::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    form->window_.Reset(window);
  }
  auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  // Nothing may unwind through Windows' message dispatching.
  try {
    return form->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // A window that cannot be built whole is not made at all; Create says so.
    if (message == WM_CREATE) return -1;
    form->dialogs_.messageBox(window, kUnexpectedErrorMessage,
                              std::wstring(kApplicationTitle).c_str(), MB_OK);
    return 0;
  }
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_.get();
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DRAWITEM:
      if (wParam == kDir1) {
        dir1_.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) ApplyLayout();
      return 0;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_NEXTDLGCTL:
      OnNextDialogControl(wParam, lParam);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      window_.Release();
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool Form1::OnCreate() {
  dpi_ = GetDpiForWindow(window_.get());
  font_ = MessageFont(dpi_);
  if (!font_ || !CreateControls()) return false;
  ApplyLayout();
  ResizeToClientArea();
  return true;
}

// Window load: the browser list shows the profiles found on the machine. The drive and
// directory lists start at the person's Favorites folder, where Internet Explorer and Edge
// look for Internet Shortcuts; without one, at the root of the drive that holds the
// Windows directory.
void Form1::OnLoad() {
  if (!state_.fileSystem) state_.fileSystem = platform_.createFileSystem();
  combo1_.Fill(findProfiles_
                   ? findProfiles_()
                   : FindProfiles(platform_.streams, BrowserStores(), platform_.paths.separator));
  if (ShowFolder(FavoritesFolder())) return;
  const std::wstring systemDrive = Wide(Left(state_.fileSystem->GetSpecialFolder(0), 2));
  if (systemDrive.size() < 2 || systemDrive[1] != L':') return;
  drive1_.SelectDrive(systemDrive[0]);
  drive_ = systemDrive[0];
  if (const DWORD error = dir1_.SetPath(systemDrive + L"\\"); error != ERROR_SUCCESS) {
    ShowText(UnreadableDriveMessage(systemDrive[0], error));
  }
}

// A folder on a drive the drive list shows, listed; false, with both lists as they were,
// otherwise.
bool Form1::ShowFolder(const std::wstring& folder) {
  if (folder.size() < 3 || folder[1] != L':' || folder[2] != L'\\') return false;
  const wchar_t previous = drive1_.SelectedDrive();
  if (!drive1_.SelectDrive(folder[0])) return false;
  if (dir1_.SetPath(folder) != ERROR_SUCCESS) {
    if (previous != 0) drive1_.SelectDrive(previous);
    return false;
  }
  drive_ = drive1_.SelectedDrive();
  return true;
}

void Form1::SetBookmarkPath(std::wstring_view path) {
  SetWindowTextW(Control(kText1), std::wstring(path).c_str());
}

void Form1::OnCommand(int id, int notification) {
  // During a run only Exit acts: it stops the run.
  if (running_ && id != kCommand2) return;
  switch (id) {
    case kCommand1:
      if (notification == BN_CLICKED) OnCommand1Click();
      break;
    case kCommand2:
      if (notification == BN_CLICKED) OnCommand2Click();
      break;
    case kCommand3:
      if (notification == BN_CLICKED) OnCommand3Click();
      break;
    case kCombo1:
      if (notification == CBN_SELCHANGE) OnCombo1Change();
      break;
    case kText1:
      if (notification == EN_CHANGE) combo1_.FollowPath(WindowText(Control(kText1)));
      break;
    case kDrive1:
      if (notification == CBN_SELCHANGE) OnDrive1Change();
      break;
    case kDir1:
      if (notification == LBN_DBLCLK) OnDir1Open();
      break;
  }
}

// Browse: a file chosen in the open-file dialog goes into the path box; a cancelled or
// failed dialog changes nothing and says nothing.
void Form1::OnCommand1Click() {
  if (std::optional<std::wstring> chosen = commonDialog1_.ShowOpen(window_.get())) {
    SetWindowTextW(Control(kText1), chosen->c_str());
  }
}

// A profile chosen in the browser list puts its bookmark file into the path box, which
// stays the one input.
void Form1::OnCombo1Change() {
  if (const std::wstring file = combo1_.ChosenFile(); !file.empty()) SetBookmarkPath(file);
}

// Exit: closing the only window ends the program; during a run, it stops the run.
void Form1::OnCommand2Click() { OnClose(); }

// The close box, Alt+F4 and Exit: during a run they stop it and the window stays; closing
// it once more ends the program.
void Form1::OnClose() {
  if (running_) {
    stopRequested_ = true;
    return;
  }
  window_.Reset();
}

// A file dropped onto the window goes into the path box, unless a run is reading it.
void Form1::OnDropFiles(HDROP drop) {
  const std::wstring path = FirstDroppedFile(drop);
  DragFinish(drop);
  if (!running_ && !path.empty()) SetBookmarkPath(path);
}

// The window's smallest size is the one it opens with.
void Form1::OnGetMinMaxInfo(MINMAXINFO& info) const {
  const SIZE frame = SmallestFrame();
  info.ptMinTrackSize = POINT{frame.cx, frame.cy};
}

// The dialog keyboard handling moves the focus this way, as for a label's access key:
// to the control given, or to the next or previous one in the tab order. A path box
// reached so has its text selected, as in a dialog.
void Form1::OnNextDialogControl(WPARAM control, LPARAM byHandle) {
  HWND window = window_.get();
  HWND next = LOWORD(byHandle) != 0 ? reinterpret_cast<HWND>(control)
                                    : GetNextDlgTabItem(window, GetFocus(), control != 0);
  if (next == nullptr || !IsChild(window, next)) return;
  SetFocus(next);
  if ((SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
    SendMessageW(next, EM_SETSEL, 0, -1);
  }
}

// A new drive in Drive1 moves Dir1 to that drive's current directory. A drive that cannot
// be read is reported, and Drive1 goes back to the drive Dir1 still shows.
void Form1::OnDrive1Change() {
  const wchar_t letter = drive1_.SelectedDrive();
  if (letter == 0 || letter == drive_) return;
  const std::wstring current = DriveCurrentDirectory(letter);
  DWORD error = dir1_.SetPath(current);
  // A current directory that has gone away still leaves the drive's root.
  if (error != ERROR_SUCCESS && current != DriveRoot(letter)) {
    error = dir1_.SetPath(DriveRoot(letter));
  }
  if (error != ERROR_SUCCESS) {
    SendMessageW(drive1_.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    drive1_.SelectDrive(drive_);
    ShowText(UnreadableDriveMessage(letter, error));
    return;
  }
  drive_ = letter;
}

// A double click or Enter in Dir1 opens the highlighted folder.
void Form1::OnDir1Open() {
  const std::wstring target = dir1_.HighlightedPath();
  if (target.empty()) return;
  if (const DWORD error = dir1_.SetPath(target); error != ERROR_SUCCESS) {
    ShowText(UnreadableFolderMessage(target, error));
  }
}

// Keeps the focus where it was when the person comes back to the window, as dialogs do.
void Form1::OnActivate(bool active) {
  HWND window = window_.get();
  if (!active) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window, focus)) lastFocus_ = focus;
    return;
  }
  // Back from a run's question: the focus waits on the window, as during the whole run.
  if (running_) {
    SetFocus(window);
    return;
  }
  HWND focus = lastFocus_ != nullptr && IsWindow(lastFocus_) ? lastFocus_ : Control(kText1);
  SetFocus(focus);
}

// Moved to a screen with another DPI: the font and every control are scaled to it.
void Form1::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  // The controls take the new font before the one they hold now is deleted, when this
  // goes; without a new font they keep the old one.
  UniqueFont old = MessageFont(dpi_);
  if (old) std::swap(font_, old);
  ApplyLayout();
  SetWindowPos(window_.get(), nullptr, suggested.left, suggested.top,
               suggested.right - suggested.left, suggested.bottom - suggested.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Form1::CreateControls() {
  HWND window = window_.get();
  for (const ControlLayout& control : kForm1Controls) {
    bool created = false;
    switch (control.kind) {
      case ControlKind::kProfileList:
        created = combo1_.Create(window, control.id, font_.get());
        break;
      case ControlKind::kDriveList:
        created = drive1_.Create(window, control.id, font_.get());
        break;
      case ControlKind::kDirectoryList:
        created = dir1_.Create(window, control.id, font_.get());
        break;
      case ControlKind::kProgressBar:
        created = progressBar1_.Create(window, control.id);
        break;
      default: {
        ControlArgs args = SimpleControl(control);
        args.parent = window;
        args.font = font_.get();
        created = CreateControl(args) != nullptr;
        break;
      }
    }
    if (!created) return false;
  }
  return true;
}

// Places every control at its position in twips, converted at the window's DPI; in a
// window larger than its smallest size, the anchored edges move by the difference.
void Form1::ApplyLayout() {
  RECT client{};
  GetClientRect(window_.get(), &client);
  const int wider = std::max(0, int{client.right} - TwipsToPixels(kClientWidthTwips, dpi_));
  const int taller = std::max(0, int{client.bottom} - TwipsToPixels(kClientHeightTwips, dpi_));
  for (const ControlLayout& control : kForm1Controls) {
    RECT place = TwipRectToPixels(control.twips, dpi_);
    if ((control.anchor & (kGrowWide | kFollowRight)) != 0) place.right += wider;
    if ((control.anchor & kFollowRight) != 0) place.left += wider;
    if ((control.anchor & (kGrowTall | kFollowBottom)) != 0) place.bottom += taller;
    if ((control.anchor & kFollowBottom) != 0) place.top += taller;
    HWND handle = Control(control.id);
    switch (control.kind) {
      case ControlKind::kProfileList:
        combo1_.Place(place, font_.get());
        break;
      case ControlKind::kDriveList:
        drive1_.Place(place, font_.get());
        break;
      case ControlKind::kDirectoryList:
        dir1_.SetFont(font_.get());
        PlaceControl(handle, place);
        break;
      case ControlKind::kLabel:
        // A label whose text is wider in this font than its place would cut the text off;
        // the room to its right is free, so it grows into it instead.
        SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        PlaceControl(handle, WidenToText(handle, place, font_.get()));
        break;
      default:
        SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        PlaceControl(handle, place);
        break;
    }
  }
  InvalidateRect(window_.get(), nullptr, TRUE);
}

// The window's size for its smallest client area at its DPI.
SIZE Form1::SmallestFrame() const {
  RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_)};
  AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, kWindowExtendedStyle, dpi_);
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void Form1::ResizeToClientArea() {
  const SIZE frame = SmallestFrame();
  SetWindowPos(window_.get(), nullptr, 0, 0, frame.cx, frame.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::ShowText(const std::wstring& text, UINT icon) {
  dialogs_.messageBox(window_.get(), text.c_str(), std::wstring(kApplicationTitle).c_str(),
                      MB_OK | icon);
}

}  // namespace velkora
