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

void PlaceDropDownList(HWND list, const RECT& place, HFONT font, int visibleItems) {
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  const int wanted = place.bottom - place.top;
  const auto itemHeight = static_cast<int>(SendMessageW(list, CB_GETITEMHEIGHT, 0, 0));
  SetWindowPos(list, nullptr, place.left, place.top, place.right - place.left,
               wanted + itemHeight * visibleItems, SWP_NOZORDER | SWP_NOACTIVATE);
  TEXTMETRICW metrics{};
  {
    WindowDc dc(list);
    SelectedObject selected(dc.get(), font);
    GetTextMetricsW(dc.get(), &metrics);
  }
  // How the field's height adds up to the closed list's differs between versions of the
  // control (some add padding to the height they are given), so the field is corrected
  // by what the list measures until the two agree.
  auto field = static_cast<int>(SendMessageW(list, CB_GETITEMHEIGHT, -1, 0));
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT closed{};
    GetWindowRect(list, &closed);
    const int corrected =
        std::max<int>(field + wanted - (closed.bottom - closed.top), metrics.tmHeight);
    if (corrected == field && closed.bottom - closed.top == wanted) break;
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), corrected);
    field = corrected;
  }
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
