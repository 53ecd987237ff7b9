#pragma once

#include <windows.h>

#include <string>

#include "engine/interfaces/target_changes.h"

namespace velkora {

// The preview dialog's two texts: what the run is about to do in counts (and the other
// bookmark file its target was made from), and its first changes one a line, ending with
// how many more there are.
struct ChangePreviewTexts {
  std::wstring summary;
  std::wstring changes;
};
ChangePreviewTexts PreviewTexts(const TargetChangePreview& preview);

// Buttons of the preview dialog: 実行 and キャンセル, which Enter and Esc press.
inline constexpr int kPreviewRun = IDOK;
inline constexpr int kPreviewCancel = IDCANCEL;

// Shows preview in a modal dialog owned by owner, in font, laid out for dpi, and returns
// the button pressed (kPreviewRun or kPreviewCancel), or -1 when the dialog could not be
// shown.
INT_PTR ShowChangePreview(HWND owner, HFONT font, UINT dpi, const TargetChangePreview& preview);

}  // namespace velkora
