#include "ui/drive_list.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

#include "ui/controls.h"
#include "ui/win32_handles.h"

namespace velkora {
namespace {

// How many drives the open list shows before it scrolls.
constexpr int kVisibleDrives = 8;

}  // namespace

bool DriveList::Create(HWND parent, int id, HFONT font) {
  ControlArgs args;
  args.parent = parent;
  args.className = WC_COMBOBOXW;
  args.style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
  args.id = id;
  args.font = font;
  list_ = CreateControl(args);
  if (list_ == nullptr) return false;
  drives_ = ListDrives();
  for (const Drive& drive : drives_) {
    SendMessageW(list_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DriveText(drive).c_str()));
  }
  return true;
}

void DriveList::Place(const RECT& place, HFONT font) {
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  const int wanted = place.bottom - place.top;
  const auto itemHeight = static_cast<int>(SendMessageW(list_, CB_GETITEMHEIGHT, 0, 0));
  SetWindowPos(list_, nullptr, place.left, place.top, place.right - place.left,
               wanted + itemHeight * kVisibleDrives, SWP_NOZORDER | SWP_NOACTIVATE);
  TEXTMETRICW metrics{};
  {
    WindowDc dc(list_);
    SelectedObject selected(dc.get(), font);
    GetTextMetricsW(dc.get(), &metrics);
  }
  // How the field's height adds up to the closed list's differs between versions of the
  // control (some add padding to the height they are given), so the field is corrected
  // by what the list measures until the two agree.
  auto field = static_cast<int>(SendMessageW(list_, CB_GETITEMHEIGHT, -1, 0));
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT closed{};
    GetWindowRect(list_, &closed);
    const int corrected =
        std::max<int>(field + wanted - (closed.bottom - closed.top), metrics.tmHeight);
    if (corrected == field && closed.bottom - closed.top == wanted) break;
    SendMessageW(list_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), corrected);
    field = corrected;
  }
}

bool DriveList::SelectDrive(wchar_t letter) {
  for (std::size_t index = 0; index < drives_.size(); ++index) {
    if (std::towupper(drives_[index].letter) == std::towupper(letter)) {
      SendMessageW(list_, CB_SETCURSEL, index, 0);
      return true;
    }
  }
  return false;
}

wchar_t DriveList::SelectedDrive() const {
  const LRESULT selected = SendMessageW(list_, CB_GETCURSEL, 0, 0);
  if (selected == CB_ERR || static_cast<std::size_t>(selected) >= drives_.size()) return 0;
  return drives_[static_cast<std::size_t>(selected)].letter;
}

}  // namespace velkora
