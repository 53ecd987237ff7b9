#include "ui/drop_down_list.h"

#include <commctrl.h>

#include "ui/controls.h"

namespace velkora {

HWND CreateDropDownList(HWND parent, int id, HFONT font) {
  ControlArgs args;
  args.parent = parent;
  args.className = WC_COMBOBOXW;
  args.style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
  args.id = id;
  args.font = font;
  return CreateControl(args);
}

void AddListEntry(HWND list, const std::wstring& text) {
  SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace velkora
