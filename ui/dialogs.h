#pragma once

#include <commdlg.h>
#include <windows.h>

#include <functional>

namespace velkora {

// The two modal dialogs the window opens, as replaceable functions with the signatures of
// the Windows calls they default to, so that a test can answer them in place of a person.
struct Dialogs {
  std::function<int(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)>
      messageBox = MessageBoxW;
  std::function<BOOL(OPENFILENAMEW* dialog)> getOpenFileName = GetOpenFileNameW;
};

}  // namespace velkora
