#include "ui/drive_list.h"

#include <commctrl.h>

#include <cwctype>

#include "ui/controls.h"
#include "ui/drop_down_list.h"

namespace velkora {
namespace {

// How many drives the open list shows before it scrolls.
constexpr int kVisibleDrives = 8;

}  // namespace

bool DriveList::Create(HWND parent, int id, HFONT font) {
  list_ = CreateDropDownList(parent, id, font);
  if (list_ == nullptr) return false;
  drives_ = ListDrives();
  for (const Drive& drive : drives_) AddListEntry(list_, DriveText(drive));
  return true;
}

void DriveList::Place(const RECT& place, HFONT font) {
  PlaceDropDownList(list_, place, font, kVisibleDrives);
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
