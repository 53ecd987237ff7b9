#include "ui/change_preview.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>

#include "engine/run/change_messages.h"
#include "engine/run/messages.h"
#include "platform/win32/wide_text.h"
#include "ui/controls.h"
#include "ui/form1_layout.h"
#include "ui/twips.h"
#include "ui/win32_handles.h"

namespace velkora {
namespace {

constexpr int kChangesBox = 1001;
constexpr int kSummaryText = 1002;

// The dialog's place, in twips: its width inside the frame, the margins, the list of
// changes (about a dozen lines) and the buttons, as large as Form1's.
constexpr int kClientWidth = 7200;
constexpr int kMargin = 120;
constexpr int kChangesHeight = 2880;
constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 345;

constexpr wchar_t kHeading[] = L"出力先に次の変更を加えます。";
constexpr wchar_t kNoChanges[] = L"（変更はありません）";

// A dialog without controls or font of its own: they are made when it opens, in the
// window's font and at its DPI, as Form1's are.
struct alignas(DWORD) EmptyDialogTemplate {
  DLGTEMPLATE header;
  WORD menu = 0;
  WORD windowClass = 0;
  WORD title = 0;
};
static_assert(offsetof(EmptyDialogTemplate, menu) == sizeof(DLGTEMPLATE));

struct PreviewDialog {
  HFONT font;
  UINT dpi;
  ChangePreviewTexts texts;
};

// The height text needs in font, broken into lines no wider than width.
int TextHeight(HWND control, const std::wstring& text, HFONT font, int width) {
  WindowDc dc(control);
  SelectedObject selected(dc.get(), font);
  RECT bounds{0, 0, width, 0};
  DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &bounds,
            DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  return bounds.bottom;
}

HWND MakeControl(HWND dialog, const PreviewDialog& preview, ControlArgs args) {
  args.parent = dialog;
  args.font = preview.font;
  return CreateControl(args);
}

// The dialog's frame around a client area of size, centred over its owner and kept on
// the owner's monitor.
void PlaceFrame(HWND dialog, SIZE client, UINT dpi) {
  RECT frame{0, 0, client.cx, client.cy};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)), dpi);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT owner{};
  GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
  int left = (owner.left + owner.right - width) / 2, top = (owner.top + owner.bottom - height) / 2;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromRect(&owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    left = std::max<int>(work.left, std::min<int>(left, work.right - width));
    top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
  }
  SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Makes the texts and buttons: the summary on top, as tall as its lines, the changes
// below it, then 実行 and キャンセル at the right; キャンセル is the default and has the focus.
bool Build(HWND dialog, const PreviewDialog& preview) {
  const UINT dpi = preview.dpi;
  const int margin = TwipsToPixels(kMargin, dpi), width = TwipsToPixels(kClientWidth, dpi);
  const int inner = width - 2 * margin;
  HWND summary = MakeControl(dialog, preview,
                             {.className = WC_STATICW,
                              .text = preview.texts.summary,
                              .style = SS_LEFT | SS_EDITCONTROL | SS_NOPREFIX,
                              .id = kSummaryText});
  HWND changes = MakeControl(dialog, preview,
                             {.className = WC_EDITW,
                              .text = preview.texts.changes,
                              .style = WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                       ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                              .extendedStyle = WS_EX_CLIENTEDGE,
                              .id = kChangesBox});
  HWND run = MakeControl(dialog, preview,
                         {.className = WC_BUTTONW,
                          .text = L"実行",
                          .style = WS_TABSTOP | BS_PUSHBUTTON,
                          .id = kPreviewRun});
  HWND cancel = MakeControl(dialog, preview,
                            {.className = WC_BUTTONW,
                             .text = L"キャンセル",
                             .style = WS_TABSTOP | BS_DEFPUSHBUTTON,
                             .id = kPreviewCancel});
  if (summary == nullptr || changes == nullptr || run == nullptr || cancel == nullptr) return false;

  const int summaryHeight = TextHeight(summary, preview.texts.summary, preview.font, inner);
  PlaceControl(summary, RECT{margin, margin, margin + inner, margin + summaryHeight});
  const int changesTop = 2 * margin + summaryHeight;
  const int changesBottom = changesTop + TwipsToPixels(kChangesHeight, dpi);
  PlaceControl(changes, RECT{margin, changesTop, margin + inner, changesBottom});
  const int buttonTop = changesBottom + margin,
            buttonBottom = buttonTop + TwipsToPixels(kButtonHeight, dpi);
  const int buttonWidth = TwipsToPixels(kButtonWidth, dpi);
  PlaceControl(cancel, RECT{width - margin - buttonWidth, buttonTop, width - margin, buttonBottom});
  PlaceControl(run, RECT{width - 2 * (margin + buttonWidth), buttonTop,
                         width - 2 * margin - buttonWidth, buttonBottom});
  PlaceFrame(dialog, SIZE{width, buttonBottom + margin}, dpi);
  SetWindowTextW(dialog, std::wstring(kApplicationTitle).c_str());
  SendMessageW(dialog, DM_SETDEFID, kPreviewCancel, 0);
  SetFocus(cancel);
  return true;
}

INT_PTR CALLBACK PreviewProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      // A dialog that cannot be made whole is not shown: nothing runs on its word.
      if (!Build(dialog, *reinterpret_cast<const PreviewDialog*>(lParam))) EndDialog(dialog, -1);
      // The focus was given to キャンセル.
      return FALSE;
    case WM_COMMAND:
      // Esc and the close box come as キャンセル.
      if (LOWORD(wParam) == kPreviewRun || LOWORD(wParam) == kPreviewCancel) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

ChangePreviewTexts PreviewTexts(const TargetChangePreview& preview) {
  ChangePreviewTexts texts;
  texts.summary = std::wstring(kHeading) + L"\n" + Wide(TargetChangeCountsText(preview.counts));
  if (!preview.otherSource.empty()) {
    texts.summary += L"\n" + Wide(OtherSourceMessage(preview.otherSource));
  }
  const auto addLine = [&texts](const std::wstring& line) {
    if (!texts.changes.empty()) texts.changes += L"\r\n";
    texts.changes += line;
  };
  for (const TargetChange& change : preview.firstChanges) addLine(Wide(TargetChangeLine(change)));
  // Every change the counts name has a line; those past the first are only counted.
  const TargetChangeCounts& counts = preview.counts;
  const long long all = static_cast<long long>(counts.added) + counts.updated + counts.moved +
                        counts.removed + counts.kept;
  const long long more = all - static_cast<long long>(preview.firstChanges.size());
  if (more > 0) addLine(L"…ほか " + Wide(DecimalText(more)) + L" 件");
  if (texts.changes.empty()) texts.changes = kNoChanges;
  return texts;
}

INT_PTR ShowChangePreview(HWND owner, HFONT font, UINT dpi, const TargetChangePreview& preview) {
  EmptyDialogTemplate empty{};
  empty.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  PreviewDialog dialog{font, dpi, PreviewTexts(preview)};
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &empty.header, owner, PreviewProcedure,
                                 reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace velkora
