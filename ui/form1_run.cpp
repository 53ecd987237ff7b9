// Form1's conversion run: the check of its target, the run itself on the window's thread,
// its options and questions, the window's messages served from its progress, the stop,
// and its end.

#include <string>

#include "engine/run/conversion.h"
#include "engine/run/messages.h"
#include "platform/absolute_path.h"
#include "platform/interrupt.h"
#include "platform/win32/wide_text.h"
#include "ui/change_preview.h"
#include "ui/controls.h"
#include "ui/form1.h"
#include "ui/path_text.h"

namespace velkora {
namespace {

// How often a run serves the window's messages: often enough that it repaints and answers
// a click at once, seldom enough to cost the run nothing it would notice.
constexpr ULONGLONG kServeInterval = 50;
// The longest a run lets the messages it serves keep it waiting at once.
constexpr ULONGLONG kServeBudget = 25;

// The controls a run leaves alone: they would change what it reads and where it writes,
// or start another.
constexpr ControlId kIdleControls[] = {kCombo1, kText1,  kCommand1, kDrive1,
                                       kDir1,   kCheck1, kCommand3};

constexpr wchar_t kPreviewFailedMessage[] =
    L"変更の確認を表示できなかったため、何も変更しませんでした。";

std::wstring StoppedMessage(long long bookmarks, long long written) {
  return L"中断しました。ブックマーク " + Wide(DecimalText(bookmarks)) + L" 件のうち " +
         Wide(DecimalText(written)) + L" 件のショートカットを作成しました。";
}

// Takes every key press and mouse click still waiting from the queue, posted ones too,
// so that none made during a run acts on what follows it.
void DiscardInput() {
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&message, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
  }
}

}  // namespace

// Convert: the whole run happens here, on the window's thread, whose messages it serves
// from its progress. A target that cannot be used is reported and nothing runs; a path
// that names a folder is refused by the run itself, which says it is a folder.
void Form1::OnCommand3Click() {
  if (running_ || !TargetUsable()) return;
  const long long placedBefore = PlacedFileCount();
  BeginRun();
  // A stop asked for by Exit or the close box leaves the run between two bookmarks, where
  // no shortcut is being written, as an interrupt leaves the console tool's.
  ConversionReport report;
  try {
    report = BookmarkConverter(state_, *this, platform_).ConvertBookmarks();
  } catch (...) {
    EndRun();
    throw;
  }
  EndRun();
  // A run the person said no to, in the preview or about the record of another bookmark
  // file (kCancelled, kOtherSource), changed nothing and says nothing more; the others
  // have said what they did, but for a stopped one.
  if (report.outcome == ConversionReport::Outcome::kStopped) {
    ShowText(StoppedMessage(state_.entryCount, PlacedFileCount() - placedBefore));
  }
}

// The folder Dir1 shows must still be one: it may have been removed or replaced since it
// was opened. It is then held and locked for the run, which takes it over: another run
// writing into it refuses this one. When it cannot be used, says why, and Dir1 moves up to
// what is left of it.
bool Form1::TargetUsable() {
  const std::u16string target = TargetDirectory();
  IoResult usable = state_.fileSystem->CheckFolder(target);
  if (usable) usable = state_.target.Hold(*state_.fileSystem, target);
  if (usable) return true;
  dir1_.Refresh();
  ShowText(Wide(TargetUnusableMessage(target, usable.reason)), MB_ICONWARNING);
  return false;
}

void Form1::BeginRun() {
  running_ = true;
  stopRequested_ = false;
  lastServed_ = GetTickCount64();
  HWND focus = GetFocus();
  focusBeforeRun_ = focus != nullptr && IsChild(window_.get(), focus) ? focus : nullptr;
  // The focus waits on the window itself, where Enter and Space press nothing.
  SetFocus(window_.get());
  for (const ControlId id : kIdleControls) EnableWindow(Control(id), FALSE);
}

// Gives the controls back, lists the folders the run made, and throws away the input made
// during the run. Once only: the run's end message calls it before it shows.
void Form1::EndRun() {
  if (!running_) return;
  running_ = false;
  stopRequested_ = false;
  // The browser list stays disabled when it found no profile.
  for (const ControlId id : kIdleControls) {
    EnableWindow(Control(id), id != kCombo1 || combo1_.HasProfiles());
  }
  dir1_.Refresh();
  DiscardInput();
  SetFocus(focusBeforeRun_ != nullptr && IsWindow(focusBeforeRun_) ? focusBeforeRun_
                                                                   : Control(kText1));
}

// Serves what waits for the window, about twenty times a second: paints, moves, and
// clicks, of which only Exit's and the close box's do anything: they ask the run to stop,
// which it does before its next shortcut.
void Form1::ServeMessagesDuringRun() {
  const ULONGLONG start = GetTickCount64();
  if (start - lastServed_ < kServeInterval) return;
  lastServed_ = start;
  MSG message;
  while (GetTickCount64() - start < kServeBudget &&
         PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // For the message loop, once the run is over.
      PostQuitMessage(static_cast<int>(message.wParam));
      stopRequested_ = true;
      break;
    }
    if (window_ && IsDialogMessageW(window_.get(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

std::u16string Form1::PathText() const {
  return FromWide(TrimmedPath(WindowText(Control(kText1))));
}

std::u16string Form1::RecordedSourcePath() const {
  const std::u16string path = PathText();
  const std::u16string absolute = PlainAbsolutePath(path);
  return absolute.empty() ? path : absolute;
}

std::u16string Form1::TargetDirectory() const { return FromWide(dir1_.Path()); }

void Form1::SetProgressMaximum(std::int32_t maximum) {
  progressBar1_.SetMaximum(static_cast<float>(maximum));
}

float Form1::ProgressValue() const { return progressBar1_.Value(); }

void Form1::SetProgressValue(std::int32_t value) {
  progressBar1_.SetValue(static_cast<float>(value));
  if (running_) ServeMessagesDuringRun();
}

RunOptions Form1::Options() const {
  const bool removeGone = IsDlgButtonChecked(window_.get(), kCheck1) == BST_CHECKED;
  return RunOptions{.removeGone = removeGone, .preview = removeGone};
}

bool Form1::ConfirmChanges(const TargetChangePreview& preview) {
  const INT_PTR pressed = ShowChangePreview(window_.get(), font_.get(), dpi_, preview);
  // Anything but 実行 cancels: a dialog ended by WM_QUIT too, which the run then sees.
  if (pressed == -1) ShowText(kPreviewFailedMessage, MB_ICONWARNING);
  return pressed == kPreviewRun;
}

bool Form1::Ask(std::u16string_view text) {
  return dialogs_.messageBox(window_.get(), Wide(text).c_str(),
                             std::wstring(kApplicationTitle).c_str(),
                             MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void Form1::ShowMessage(std::u16string_view text, MessageIcon icon) {
  EndRun();
  ShowText(Wide(text), icon == MessageIcon::kWarning ? MB_ICONWARNING : 0);
}

}  // namespace velkora
