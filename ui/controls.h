#pragma once

#include <windows.h>

#include <string>

namespace velkora {

// What a child control is made of: its window class, text, styles and identifier.
struct ControlArgs {
  HWND parent = nullptr;
  const wchar_t* className = nullptr;
  std::wstring text;
  DWORD style = 0;
  DWORD extendedStyle = 0;
  int id = 0;
  HFONT font = nullptr;
};

// Creates a visible child control that does not paint over the siblings above it in the
// drawing order; its place is set later by the layout. Null on failure.
HWND CreateControl(const ControlArgs& args);

// Moves and sizes a child to a rectangle in its parent's client coordinates.
void PlaceControl(HWND control, const RECT& place);

// Places a closed drop-down list (CBS_DROPDOWNLIST) at place, with room for visibleItems
// items when it drops open. Its height follows the font, so the selection field is sized
// to make the closed list exactly as tall as place, unless the text would not fit.
void PlaceDropDownList(HWND list, const RECT& place, HFONT font, int visibleItems);

// place, made wider when the control's text in font needs more room, so that a label
// never cuts its text off.
RECT WidenToText(HWND control, RECT place, HFONT font);

// Text of a window, whatever its length.
std::wstring WindowText(HWND window);

}  // namespace velkora
