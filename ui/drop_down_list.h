#pragma once

#include <windows.h>

#include <string>

namespace velkora {

// Creates an empty drop-down list (CBS_DROPDOWNLIST) as child id of parent, with a scroll
// bar once it holds more than it shows open. Unsorted: its entries stay in the order they
// are added. Null on failure.
HWND CreateDropDownList(HWND parent, int id, HFONT font);

// Adds text as the list's last entry.
void AddListEntry(HWND list, const std::wstring& text);

}  // namespace velkora
