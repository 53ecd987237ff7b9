#include "ui/controls.h"

#include <algorithm>

#include "ui/win32_handles.h"

namespace velkora {

HWND CreateControl(const ControlArgs& args) {
  HWND control = CreateWindowExW(
      args.extendedStyle, args.className, args.text.c_str(),
      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | args.style, 0, 0, 0, 0, args.parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)), GetModuleHandleW(nullptr), nullptr);
  if (control != nullptr && args.font != nullptr) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(args.font), FALSE);
  }
  return control;
}

void PlaceControl(HWND control, const RECT& place) {
  SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
               place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT WidenToText(HWND control, RECT place, HFONT font) {
  const std::wstring text = WindowText(control);
  WindowDc dc(control);
  SelectedObject selected(dc.get(), font);
  SIZE extent{};
  if (GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent)) {
    place.right = std::max<LONG>(place.right, place.left + extent.cx);
  }
  return place;
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

}  // namespace velkora
